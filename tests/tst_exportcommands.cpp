// The three export buttons of the main window, clicked as a user would.
#define QTEST_QPA_MOUSE_HANDLING

#include "export/workbookfolder.h"
#include "exportfakes.h"
#include "generator/randomsource.h"
#include "libreoffice.h"
#include "recorders.h"
#include "ui/desktopservices.h"
#include "ui/form1.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <sys/stat.h>

using namespace zentavo;
using namespace zentavo::test;

namespace {

const QString kCopied =
    QStringLiteral("Results have been copied to the clipboard.\r\rClick a text area where you "
                   "normally type and press Ctrl+V to paste the clipboard.");
const QString kNotInstalledAtAll = QStringLiteral("Excel is not installed on this computer. You need to have "
                                                  "it installed to use this software without error.");
const QString kNotInstalledForThis = QStringLiteral(
    "Excel is not installed on this computer. You need to have it installed to use this feature.");

int modeOf(const QString &path)
{
    struct stat info = {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// What a reader finds in a PDF, without the spaces that set passwords in groups.
QString pdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    return pdftotext.waitForFinished()
               ? QString::fromUtf8(pdftotext.readAll()).remove(QRegularExpression("\\s"))
               : QString();
}

// The print dialog, answered with the queue of tests/printing.sh's print server.
struct ChosenPrinter : PrintDialog
{
    std::optional<PrintChoice> ask() override
    {
        return PrintChoice{qEnvironmentVariable("ZENTAVO_TEST_PRINTER")};
    }
};

} // namespace

class TestExportCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> window;
    ScriptedSaveDialog dialog;
    RecordingClipboard clipboard;
    RecordingSpreadsheet spreadsheet;
    ChosenPrinter printDialog;
    CupsPrintJobs printJobs;
    QTemporaryDir profile; // LibreOffice's, for reading workbooks back
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<WorkbookFolder> workbooks;
    std::unique_ptr<Form1> form;
    // The pointer each time the progress bar moved.
    QList<Form1::Pointer> pointerWhileProgressing;

    void fill(bool lineNumbers, const QStringList &passwords)
    {
        form->Check9->setChecked(lineNumbers);
        form->ClearList();
        for (int i = 0; i < passwords.size(); ++i)
            form->results().appendRow(lineNumbers ? i + 1 : 0, passwords[i]);
        form->results().publishRows();
    }

    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }

    RecordingPrompter &prompter() { return window->prompter; }

    // Opens the list's menu (the right button over a row, or the Menu key)
    // and clicks `item` in it.
    void chooseFromMenu(const QString &item, bool mouse)
    {
        if (mouse) // through the window, as the window system delivers a click
            QTest::mouseClick(form->windowHandle(), Qt::RightButton, {},
                              form->ListView1->viewport()->mapTo(form.get(), QPoint(20, 5)));
        else
            QTest::keyClick(form->ListView1, Qt::Key_Menu);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (QAction *action : menu->actions())
            if (action->text() == item)
                return QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        QFAIL(qPrintable(item));
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        window = std::make_unique<WindowFixture>();
        dialog = ScriptedSaveDialog();
        clipboard = RecordingClipboard();
        spreadsheet = RecordingSpreadsheet();
        workbooks = std::make_unique<WorkbookFolder>(dir->filePath(QStringLiteral("workbooks")), 100);
        Services services = window->services();
        services.saveDialog = &dialog;
        services.clipboard = &clipboard;
        services.spreadsheet = &spreadsheet;
        services.workbooks = workbooks.get();
        services.printDialog = &printDialog;
        services.printJobs = &printJobs;
        form = std::make_unique<Form1>(services);
        form->Form_Load();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        pointerWhileProgressing.clear();
        connect(form->ProgressBar1, &QProgressBar::valueChanged, this,
                [this] { pointerWhileProgressing << form->pointer(); });
    }
    void cleanup()
    {
        form.reset();
        workbooks.reset();
        window.reset();
    }

    void textFileHoldsTheTickedRows()
    {
        fill(true, {"abc", "untick me", "defghijklm"});
        // The user unticks the second row.
        form->ListView1->listSelection()->setCurrentIndex(form->results().index(1, 0),
                                                          QItemSelectionModel::NoUpdate);
        QTest::keyClick(form->ListView1, Qt::Key_Space);
        QVERIFY(!form->results().isChecked(1));

        dialog.answer = dir->filePath(QStringLiteral("results"));
        click(form->PushButton4);
        QCOMPARE(dialog.asked, 1);
        QCOMPARE(readAll(dialog.answer), QByteArray("Line\tResult(s) \t\r\n"
                                                    "1   \tabc       \t\r\n"
                                                    "3   \tdefghijklm\t\r\n"));
        QVERIFY(prompter().shown.isEmpty());
        // Busy from the dialog's answer to the end; the bar ends at rest.
        QVERIFY(!pointerWhileProgressing.isEmpty());
        QVERIFY(!pointerWhileProgressing.contains(Form1::Pointer::Arrow));
        QCOMPARE(form->pointer(), Form1::Pointer::Arrow);
        QCOMPARE(form->ProgressBar1->value(), 0);
        QCOMPARE(form->ProgressBar1->text(), QStringLiteral("Progress Bar"));
    }

    void aCancelledDialogWritesNothing()
    {
        fill(false, {"abc"});
        dialog.answer.clear();
        click(form->PushButton4);
        QCOMPARE(dialog.asked, 1);
        QVERIFY(pointerWhileProgressing.isEmpty());
        QVERIFY(prompter().shown.isEmpty());
        QCOMPARE(QDir(dir->path()).entryList(QDir::Files), QStringList{});
        QCOMPARE(form->ProgressBar1->text(), QStringLiteral("Progress Bar"));
    }

    void aFileThatCannotBeWrittenIsReportedAndThePointerRestored()
    {
        fill(false, {"abc", "def"});
        QDir(dir->path()).mkdir(QStringLiteral("taken"));
        dialog.answer = dir->filePath(QStringLiteral("taken"));
        click(form->PushButton4);
        QCOMPARE(prompter().shown.size(), 1);
        QVERIFY(prompter().shown[0].title == QStringLiteral("Application Error"));
        QVERIFY(prompter().shown[0].text.contains(
            QStringLiteral("in Quorvex2021/08/31.Main.SaveListviewProperlySpaced at line 156\r\r")));
        QCOMPARE(form->pointer(), Form1::Pointer::Arrow);
        QCOMPARE(form->ProgressBar1->text(), QStringLiteral("Progress Bar"));
    }

    // The ticked rows as slips, saved or printed from the list's menu: what a
    // reader finds in the PDF, or in the file the print server's queue got.
    void slipsFromTheMenu_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("ticked");
        QTest::addRow("saved as PDF") << "Save Slips as PDF…" << true;
        QTest::addRow("printed") << "Print Slips…" << true;
        QTest::addRow("nothing ticked") << "Save Slips as PDF…" << false;
    }
    void slipsFromTheMenu()
    {
        QFETCH(QString, item);
        QFETCH(bool, ticked);
        const QDir prints(qEnvironmentVariable("ZENTAVO_TEST_PRINTS"));
        if (item.startsWith(QLatin1String("Print")) && prints.path() == QLatin1String("."))
            QSKIP("tests/printing.sh runs this with a print server of its own");
        fill(true, {"Kx7qP2mZ9wRt", "untick me", "Hq4vN8cLp3Xs"});
        for (const int row : {0, 1, 2})
            form->results().setChecked(row, ticked && row != 1);
        dialog.answer = dir->filePath(QStringLiteral("slips.pdf"));
        chooseFromMenu(item, true);
        QCOMPARE(prompter().texts(),
                 ticked ? QStringList()
                        : QStringList{"No password is ticked: tick the rows to put on slips."});
        if (!ticked)
            return;
        QString pdf = dialog.answer;
        if (item.startsWith(QLatin1String("Print")))
            QTRY_VERIFY_WITH_TIMEOUT(!(pdf = prints.entryList({"job-*"}).value(0)).isEmpty(), 30000);
        else
            QCOMPARE(modeOf(pdf), 0600);
        // The ticked rows in order, the unticked one left out.
        const QString text = pdfText(prints.filePath(pdf));
        QVERIFY2(QRegularExpression("1Kx7qP2mZ9wRt.*3Hq4vN8cLp3Xs").match(text).hasMatch() &&
                     !text.contains("untick"),
                 qPrintable(text));
        QCOMPARE(form->pointer(), Form1::Pointer::Arrow);
    }

    void copyPutsTheTickedRowsOnTheClipboard()
    {
        fill(true, {"abc", "defghijklm  "});
        clipboard.content = QStringLiteral("before");
        click(form->PushButton2);
        QCOMPARE(clipboard.content.value_or("<nothing>"), QStringLiteral("1\tabc\r\n2\tdefghijklm\r\n"));
        QCOMPARE(prompter().shown.size(), 1);
        QCOMPARE(prompter().shown[0].text, kCopied);
        QCOMPARE(prompter().shown[0].title, QStringLiteral("Zentavo"));
        QVERIFY(prompter().shown[0].icon == Prompter::Icon::None);
        QVERIFY(pointerWhileProgressing.isEmpty()); // no bar, no hourglass
    }

    void ctrlCCopiesTheSelectedPasswords_data()
    {
        QTest::addColumn<bool>("lineNumbers");
        QTest::addColumn<QList<int>>("selected");
        QTest::addColumn<QString>("copied"); // empty: the clipboard is left alone
        QTest::addRow("one row") << true << QList<int>{1} << "defghijklm\r\n";
        QTest::addRow("rows in list order, spaces kept") << false << QList<int>{2, 0} << "abc\r\nx  \r\n";
        QTest::addRow("unticked rows too") << true << QList<int>{3} << "z\r\n";
        QTest::addRow("nothing selected") << true << QList<int>{} << "";
        QTest::addRow("one row, from the menu") << true << QList<int>{1} << "defghijklm\r\n";
        QTest::addRow("all, from the menu") << true << QList<int>{} << "abc\r\ndefghijklm\r\nx  \r\nz\r\n";
    }
    void ctrlCCopiesTheSelectedPasswords()
    {
        QFETCH(bool, lineNumbers);
        QFETCH(QList<int>, selected);
        QFETCH(QString, copied);
        fill(lineNumbers, {"abc", "defghijklm", "x  ", "z"});
        form->results().setChecked(3, false);
        form->ListView1->listSelection()->clearSelection();
        for (const int row : selected)
            form->ListView1->listSelection()->select(form->results().index(row, 0),
                                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
        clipboard.content = QStringLiteral("before");
        form->ListView1->setFocus();
        if (QByteArray(QTest::currentDataTag()).startsWith("all"))
            chooseFromMenu(QStringLiteral("Select All"), false);
        if (QByteArray(QTest::currentDataTag()).endsWith("from the menu"))
            chooseFromMenu(QStringLiteral("Copy"), false);
        else
            QTest::keyClick(form->ListView1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard.content.value_or("<nothing>"),
                 copied.isEmpty() ? QStringLiteral("before") : copied);
        // Plain text, which the desktop's clipboard marks secret.
        QCOMPARE(clipboard.format, QString());
        QVERIFY(prompter().shown.isEmpty());
    }

    // The view shows a few rows at a time: keys reach rows far below them,
    // and what they select and tick is the list's.
    void keysReachRowsBeyondTheFirstScreen_data()
    {
        QTest::addColumn<QList<QKeyCombination>>("keys");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("copied");
        QTest::addRow("End") << QList<QKeyCombination>{Qt::Key_End} << 9999 << "p9999\r\n";
        QTest::addRow("End, Shift+Up") << QList<QKeyCombination>{Qt::Key_End, Qt::ShiftModifier | Qt::Key_Up}
                                       << 9998 << "p9998\r\np9999\r\n";
        QTest::addRow("End, Up, Up") << QList<QKeyCombination>{Qt::Key_End, Qt::Key_Up, Qt::Key_Up} << 9997
                                     << "p9997\r\n";
        QTest::addRow("End, Home") << QList<QKeyCombination>{Qt::Key_End, Qt::Key_Home} << 0 << "p0\r\n";
        // Space in the password column too, where typing once searched.
        QTest::addRow("End, Right, line numbers")
            << QList<QKeyCombination>{Qt::Key_End, Qt::Key_Right} << 9999 << "p9999\r\n";
    }
    void keysReachRowsBeyondTheFirstScreen()
    {
        QFETCH(QList<QKeyCombination>, keys);
        QFETCH(int, current);
        QFETCH(QString, copied);
        QStringList passwords;
        for (int i = 0; i < 10000; ++i)
            passwords << QStringLiteral("p%1").arg(i);
        fill(QByteArray(QTest::currentDataTag()).endsWith("line numbers"), passwords);
        form->ListView1->setFocus();
        QTest::keyClick(form->ListView1, Qt::Key_Home);
        for (const QKeyCombination key : keys)
            QTest::keyClick(form->ListView1, key.key(), key.keyboardModifiers());
        QTest::keyClick(form->ListView1, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard.content.value_or(QString()), copied);
        // Space unticks the row it is on, and that row alone.
        QTest::keyClick(form->ListView1, Qt::Key_Space);
        for (const int row : {current - 1, current, current + 1})
            if (row >= 0 && row < 10000)
                QCOMPARE(form->results().isChecked(row), row != current);
    }

    // The mouse selects rows of the list however far it scrolled. Each
    // gesture names a list row, found on screen where the view shows it;
    // the selection is read back through Ctrl+C. "current" is the row the
    // gestures ended on.
    void theMouseSelectsListRows_data()
    {
        QTest::addColumn<QString>("gestures");
        QTest::addColumn<QString>("selected");
        QTest::addRow("click") << "click 2"
                               << "2-2";
        QTest::addRow("Shift+click after the wheel") << "click 2, wheel 1, shift 9"
                                                     << "2-9";
        QTest::addRow("far after the wheel") << "click 3, wheel 100, shift 305"
                                             << "3-305";
        QTest::addRow("after the bar's slider is dragged") << "click 3, slider, shift 99998"
                                                           << "3-99998";
        QTest::addRow("Ctrl+click") << "click 2, ctrl 4, ctrl 2, wheel 12, ctrl 40"
                                    << "4-4 40-40";
        QTest::addRow("dragged past the bottom") << "drag 2"
                                                 << "2-current";
    }
    void theMouseSelectsListRows()
    {
        QFETCH(QString, gestures);
        QFETCH(QString, selected);
        QStringList passwords;
        for (int i = 0; i < 100000; ++i)
            passwords << QStringLiteral("p%1").arg(i);
        fill(false, passwords);
        ResultsView *view = form->ListView1;
        QWidget *viewport = view->viewport();
        QScrollBar *bar = view->verticalScrollBar();
        const auto at = [&](int row) {
            const int shown = row - bar->value();
            [&] { QVERIFY2(shown >= 0 && shown < bar->pageStep(), qPrintable(QString::number(row))); }();
            return QPoint(viewport->width() / 2,
                          view->rowViewportPosition(shown) + view->rowHeight(shown) / 2);
        };
        for (const QString &gesture : gestures.split(QStringLiteral(", "))) {
            const QString what = gesture.section(QLatin1Char(' '), 0, 0);
            const int row = gesture.section(QLatin1Char(' '), 1).toInt();
            if (what == QLatin1String("wheel")) {
                for (int notch = 0; notch < row; ++notch) {
                    const QPointF point(at(bar->value()));
                    QWheelEvent wheel(point, viewport->mapToGlobal(point), {}, QPoint(0, -120), Qt::NoButton,
                                      {}, Qt::NoScrollPhase, false);
                    QApplication::sendEvent(viewport, &wheel);
                }
            } else if (what == QLatin1String("slider")) {
                // Down to the end: the slider dragged below the bar.
                QStyleOptionSlider option;
                option.initFrom(bar);
                option.orientation = Qt::Vertical;
                option.maximum = bar->maximum();
                option.sliderPosition = option.sliderValue = bar->value();
                option.pageStep = bar->pageStep();
                const QPoint slider =
                    bar->style()
                        ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar)
                        .center();
                QTest::mousePress(bar, Qt::LeftButton, {}, slider);
                QTest::mouseMove(bar, slider + QPoint(0, 2 * bar->height()));
                QTest::mouseRelease(bar, Qt::LeftButton, {}, slider + QPoint(0, 2 * bar->height()));
            } else if (what == QLatin1String("drag")) {
                // Held below the list until it has run on a few hundred rows.
                const QPoint below(viewport->width() / 2, viewport->height() + 40);
                QTest::mousePress(viewport, Qt::LeftButton, {}, at(row));
                QTest::mouseMove(viewport, below);
                QTRY_VERIFY(view->listSelection()->currentIndex().row() > 300);
                QTest::mouseRelease(viewport, Qt::LeftButton, {}, below);
            } else {
                const Qt::KeyboardModifiers modifiers = what == QLatin1String("shift")  ? Qt::ShiftModifier
                                                        : what == QLatin1String("ctrl") ? Qt::ControlModifier
                                                                                        : Qt::NoModifier;
                QTest::mouseClick(viewport, Qt::LeftButton, modifiers, at(row));
            }
            if (QTest::currentTestFailed())
                return;
        }
        QString expected;
        const QString current = QString::number(view->listSelection()->currentIndex().row());
        for (const QString &run : selected.replace(QLatin1String("current"), current).split(QLatin1Char(' ')))
            for (int row = run.section(QLatin1Char('-'), 0, 0).toInt();
                 row <= run.section(QLatin1Char('-'), 1).toInt(); ++row)
                expected += passwords[row] + QLatin1String("\r\n");
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(clipboard.content.value_or(QString()), expected);
    }

    void copyConfirmsEvenWhenNothingWasCopied_data()
    {
        QTest::addColumn<bool>("empty");
        QTest::addColumn<int>("refusals");
        QTest::addRow("empty list") << true << 0;
        QTest::addRow("clipboard always refused") << false << -1;
    }
    void copyConfirmsEvenWhenNothingWasCopied()
    {
        QFETCH(bool, empty);
        QFETCH(int, refusals);
        fill(false, empty ? QStringList{} : QStringList{"abc"});
        clipboard.content = QStringLiteral("before");
        clipboard.refusedClears = clipboard.refusedSets = refusals;
        click(form->PushButton2);
        QCOMPARE(clipboard.content.value_or("<nothing>"), QStringLiteral("before"));
        QCOMPARE(clipboard.setAttempts, empty ? 0 : 1000);
        QCOMPARE(prompter().texts(), QStringList{kCopied});
    }

    void rowsClearedDuringACopyAreReported()
    {
        fill(false, QStringList(200000, QStringLiteral("password")));
        clipboard.content = QStringLiteral("before");
        // The copy shows no hourglass, so "Clear Results" works in the middle.
        QTest::qWait(20);
        QTimer::singleShot(0, form->PushButton3, [this] { click(form->PushButton3); });
        click(form->PushButton2);
        QCOMPARE(form->results().storedRowCount(), 0);
        QCOMPARE(clipboard.content.value_or("<nothing>"), QStringLiteral("before"));
        QCOMPARE(prompter().shown.size(), 1);
        QVERIFY(prompter().shown[0].text.contains(
            QStringLiteral("\r\nin Quorvex2021/08/31.Form1.PushButton2_Click at line 106\r\r")));
    }

    void aMissingSpreadsheetApplicationGivesTwoMessages()
    {
        fill(false, {"abc"});
        spreadsheet.installed = false;
        QList<Form1::Pointer> pointers;
        prompter().whileOpen = [&](const ShownMessage &) { pointers << form->pointer(); };
        click(form->PushButton13);
        QCOMPARE(prompter().texts(), (QStringList{kNotInstalledAtAll, kNotInstalledForThis}));
        for (const ShownMessage &message : prompter().shown) {
            QCOMPARE(message.title, QStringLiteral("Zentavo"));
            QVERIFY(message.icon == Prompter::Icon::None);
        }
        QCOMPARE(pointers.size(), 2);
        QVERIFY(!pointers.contains(Form1::Pointer::Busy));
        QVERIFY(spreadsheet.opened.isEmpty());
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("workbooks"))));
    }

    void anEmptyListMakesNoWorkbook()
    {
        fill(true, {});
        click(form->PushButton13);
        QCOMPARE(spreadsheet.installedChecks, 1);
        QVERIFY(spreadsheet.opened.isEmpty());
        QVERIFY(prompter().shown.isEmpty());
    }

    void theWorkbookHoldsEveryRowAndGoesOnceRead()
    {
        fill(true, {"=1+1", "0123", "trail "});
        form->results().setChecked(1, false); // unticked rows go too
        QString copy = dir->filePath(QStringLiteral("copy.xlsx"));
        Form1::Pointer pointerWhileOpening = Form1::Pointer::Arrow;
        int fileMode = 0, folderMode = 0;
        spreadsheet.onOpen = [&](const QString &workbook) {
            pointerWhileOpening = form->pointer();
            fileMode = modeOf(workbook);
            folderMode = modeOf(QFileInfo(workbook).absolutePath());
            QFile::copy(workbook, copy); // reads it, as the application would
        };
        click(form->PushButton13);

        QCOMPARE(spreadsheet.opened.size(), 1);
        QVERIFY(spreadsheet.opened[0].endsWith(QStringLiteral(".xlsx")));
        QVERIFY(pointerWhileOpening == Form1::Pointer::Busy);
        QCOMPARE(fileMode, 0600);
        QCOMPARE(folderMode, 0700);
        QCOMPARE(form->pointer(), Form1::Pointer::Arrow);
        QVERIFY(prompter().shown.isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(spreadsheet.opened[0]), 5000);

        QCOMPARE(readWorkbook(copy, profile.path()),
                 (QList<QStringList>{{"Results", ""}, {"1", "=1+1"}, {"2", "0123"}, {"3", "trail "}}));
    }

    void aSecondClickWhileTheApplicationStartsStartsNoSecondCopy()
    {
        fill(false, {"abc"});
        // The application is still starting when the user clicks again.
        bool clickedAgain = false;
        spreadsheet.onOpen = [&](const QString &) {
            if (!std::exchange(clickedAgain, true))
                form->PushButton13->click();
        };
        click(form->PushButton13);
        QCOMPARE(spreadsheet.opened.size(), 1);
        QCOMPARE(spreadsheet.installedChecks, 1);
        QVERIFY(prompter().shown.isEmpty());
        click(form->PushButton13); // once it has started, a click starts another
        QCOMPARE(spreadsheet.opened.size(), 2);
    }

    void anApplicationThatCannotStartIsReported()
    {
        fill(false, {"abc"});
        spreadsheet.refuseToStart = true;
        click(form->PushButton13);
        QCOMPARE(prompter().shown.size(), 1);
        QVERIFY(prompter().shown[0].text.contains(
            QStringLiteral("\r\nin Quorvex2021/08/31.Form1.PushButton13_Click at line 138\r\r")));
        QCOMPARE(form->pointer(), Form1::Pointer::Arrow);
        QVERIFY(workbooks->pendingFiles().isEmpty());
        QCOMPARE(QDir(workbooks->folder()).entryList(QDir::Files), QStringList{});
    }
};

QTEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
