// The desktop's side of the exports: the real save dialog, clipboard and
// spreadsheet lookup, offscreen and with stand-in programs.

#include "core/eventpump.h"
#include "core/failure.h"
#include "ui/desktopservices.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace zentavo;

namespace {

// Acts on modal windows as they appear, one step per window, as a user at the
// keyboard would.
class ModalScript : public QObject
{
public:
    using Step = std::function<void(QWidget *)>;

    explicit ModalScript(QList<Step> steps) : m_steps(std::move(steps))
    {
        m_started.start();
        m_timer.setInterval(20);
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start();
    }
    bool finished() const { return m_steps.isEmpty(); }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        // A window nobody expected would wait for ever: closing it lets the
        // test fail instead.
        if (modal && m_started.elapsed() > 20000) {
            modal->close();
            return;
        }
        if (!modal || modal == m_last || m_steps.isEmpty())
            return;
        m_last = modal;
        // Run from a timer of its own: a step may open the next window and
        // wait for it, and a timer does not fire again until its own slot
        // has returned.
        QTimer::singleShot(0, modal, [step = m_steps.takeFirst(), modal] { step(modal); });
    }

    QList<Step> m_steps;
    QTimer m_timer;
    QElapsedTimer m_started;
    QWidget *m_last = nullptr;
};

// Enters the name and presses the dialog's Save button.
void typeFileName(QWidget *modal, const QString &name)
{
    auto *edit = modal->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    auto *buttons = modal->findChild<QDialogButtonBox *>();
    QVERIFY(edit && buttons);
    // Set whole: typed letter by letter, the path would open the completer's
    // popup, which takes the next click for itself.
    edit->setText(name);
    for (QAbstractButton *button : buttons->buttons()) {
        if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
            QTest::mouseClick(button, Qt::LeftButton);

            return;
        }
    }
    QFAIL("the dialog has no button to save with");
}

void writeScript(const QString &path, const QByteArray &body)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n" + body);
    file.close();
    QVERIFY(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
}

} // namespace

class TestDesktopServices : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QByteArray savedPath, savedSpreadsheet;

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        savedPath = qgetenv("PATH");
        savedSpreadsheet = qgetenv("ZENTAVO_SPREADSHEET");
    }
    void cleanup()
    {
        qputenv("PATH", savedPath);
        if (savedSpreadsheet.isNull())
            qunsetenv("ZENTAVO_SPREADSHEET");
        else
            qputenv("ZENTAVO_SPREADSHEET", savedSpreadsheet);
    }

    void theSaveDialogAsksAsExpected()
    {
        QString title, selected;
        QStringList filters;
        bool confirms = false;
        ModalScript script({[&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            title = dialog->windowTitle();
            filters = dialog->nameFilters();
            selected = dialog->selectedNameFilter();
            confirms = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            dialog->reject();
        }});
        QCOMPARE(FileSaveDialog().askForPath(), QString());
        QVERIFY(script.finished());
        QCOMPARE(title, QStringLiteral("Save"));
        QCOMPARE(filters, (QStringList{"Text Files (*.txt)", "All Files (*)"}));
        QCOMPARE(selected, QStringLiteral("Text Files (*.txt)"));
        QVERIFY(confirms);
    }

    void theSaveDialogAnswers_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<QList<int>>("answers"); // to the question before replacing
        QTest::addColumn<bool>("chosen");
        QTest::addRow("a name without extension keeps none") << "results" << false << QList<int>{} << true;
        QTest::addRow("a name with one") << "results.txt" << false << QList<int>{} << true;
        QTest::addRow("replacing, agreed") << "old.txt" << true << QList<int>{QMessageBox::Yes} << true;
        QTest::addRow("replacing, refused, then cancelled")
            << "old.txt" << true << QList<int>{QMessageBox::No} << false;
    }
    void theSaveDialogAnswers()
    {
        QFETCH(QString, typed);
        QFETCH(bool, exists);
        QFETCH(QList<int>, answers);
        QFETCH(bool, chosen);
        const QString path = dir->filePath(typed);
        if (exists) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QPointer<QFileDialog> fileDialog;
        QList<ModalScript::Step> steps{[&](QWidget *modal) {
            fileDialog = qobject_cast<QFileDialog *>(modal);
            typeFileName(modal, path);
        }};
        for (int answer : answers) {
            steps << [answer, &fileDialog](QWidget *modal) {
                auto *question = qobject_cast<QMessageBox *>(modal);
                QVERIFY(question);
                question->button(QMessageBox::StandardButton(answer))->click();
                // Refused: the dialog stays; the user gives up.
                if (answer == QMessageBox::No)
                    QTimer::singleShot(50, fileDialog, [&fileDialog] { fileDialog->reject(); });
            };
        }
        ModalScript script(steps);
        QCOMPARE(FileSaveDialog().askForPath(), chosen ? path : QString());
        QVERIFY(script.finished());
    }

    void theSaveDialogStartsWhereTheUserSavedLast()
    {
        // Not in the folder the program was started from: home first, then
        // wherever the last file of this run went.
        QVERIFY(QDir::setCurrent(dir->path()));
        QVERIFY(QDir().mkpath(dir->filePath(QStringLiteral("sub"))));
        const QString path = dir->filePath(QStringLiteral("sub/results.txt"));
        QStringList startedIn;
        auto record = [&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            startedIn << QDir(dialog->directory()).canonicalPath();
        };
        FileSaveDialog saveDialog;
        // One script a dialog: the second may live where the first did.
        ModalScript saving({[&](QWidget *modal) {
            record(modal);
            typeFileName(modal, path);
        }});
        QCOMPARE(saveDialog.askForPath(), path);
        ModalScript cancelling({[&](QWidget *modal) {
            record(modal);
            static_cast<QDialog *>(modal)->reject();
        }});
        QCOMPARE(saveDialog.askForPath(), QString());
        QVERIFY(saving.finished() && cancelling.finished());
        QCOMPARE(startedIn, (QStringList{QDir(QDir::homePath()).canonicalPath(),
                                         QDir(dir->filePath(QStringLiteral("sub"))).canonicalPath()}));
    }

    void theClipboardHoldsTheTextMarkedSecret()
    {
        SystemClipboard clipboard;
        // Characters of each length in UTF-8, a pair of them across two of
        // the pieces the text is encoded in; large enough to be wiped on the
        // thread pool.
        const QString text = QString((1 << 20) + 65535, QLatin1Char('p')) +
                             QString::fromUtf8("\xF0\x9D\x84\x9E\xC3\xA9\xE2\x82\xAC\t1\r\n");
        QVERIFY(clipboard.setText(text, QString()));
        const QMimeData *held = QGuiApplication::clipboard()->mimeData();
        QVERIFY(held);
        QCOMPARE(held->text(), text);
        QCOMPARE(held->data(QStringLiteral("text/plain")), text.toUtf8());
        QCOMPARE(held->data(QStringLiteral("x-kde-passwordManagerHint")), QByteArray("secret"));
        // Replaced, what we handed out is wiped, whoever still holds it.
        const QByteArray handedOut = held->data(QStringLiteral("text/plain"));
        QGuiApplication::clipboard()->setText(QStringLiteral("someone else"));
        QTRY_COMPARE(handedOut, QByteArray(handedOut.size(), '\0'));

        QVERIFY(clipboard.setText(QStringLiteral("<b>x</b>"), QStringLiteral("text/html")));
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data(QStringLiteral("text/html")),
                 QByteArray("<b>x</b>"));

        QVERIFY(clipboard.clear());
        QCOMPARE(QGuiApplication::clipboard()->text(), QString());
    }

    void theSpreadsheetApplicationIsFound_data()
    {
        QTest::addColumn<QString>("chosen");     // ZENTAVO_SPREADSHEET; "-" leaves it unset
        QTest::addColumn<QStringList>("onPath"); // launchers in the search path, linked to the suite's
        QTest::addColumn<bool>("calc");          // Calc's library beside the suite's launcher
        QTest::addColumn<QString>("found");
        QTest::addRow("the suite with Calc")
            << "-" << QStringList{"soffice", "libreoffice"} << true << "soffice";
        QTest::addRow("its other name") << "-" << QStringList{"libreoffice"} << true << "libreoffice";
        QTest::addRow("the suite without Calc")
            << "-" << QStringList{"soffice", "libreoffice"} << false << "";
        QTest::addRow("Calc's launcher alone") << "-" << QStringList{"localc"} << true << "";
        QTest::addRow("none") << "-" << QStringList{} << false << "";
        QTest::addRow("chosen by name") << "mycalc" << QStringList{"mycalc", "soffice"} << true << "mycalc";
        QTest::addRow("chosen but missing") << "nocalc" << QStringList{"soffice"} << true << "";
    }
    void theSpreadsheetApplicationIsFound()
    {
        QFETCH(QString, chosen);
        QFETCH(QStringList, onPath);
        QFETCH(bool, calc);
        QFETCH(QString, found);
        // Laid out as the packages do: the launcher in the suite's program
        // folder, linked from the search path.
        QDir(dir->path()).mkpath(QStringLiteral("program"));
        QDir(dir->path()).mkpath(QStringLiteral("bin"));
        writeScript(dir->filePath(QStringLiteral("program/soffice")), "exit 0\n");
        if (calc)
            QVERIFY(QFile(dir->filePath(QStringLiteral("program/libsclo.so"))).open(QIODevice::WriteOnly));
        for (const QString &program : onPath)
            QVERIFY(QFile::link(dir->filePath(QStringLiteral("program/soffice")),
                                dir->filePath("bin/" + program)));
        qputenv("PATH", QFile::encodeName(dir->filePath(QStringLiteral("bin"))));
        if (chosen == QLatin1String("-"))
            qunsetenv("ZENTAVO_SPREADSHEET");
        else
            qputenv("ZENTAVO_SPREADSHEET", chosen.toUtf8());

        LibreOfficeCalc calc_;
        QCOMPARE(LibreOfficeCalc::command(), found.isEmpty() ? QString() : dir->filePath("bin/" + found));
        QCOMPARE(calc_.isInstalled(), !found.isEmpty());
        EventPump pump;
        if (found.isEmpty())
            QVERIFY_THROWS_EXCEPTION(Failure, calc_.open(dir->filePath(QStringLiteral("w.xlsx")), pump));
    }

    void theStartIsWaitedFor_data()
    {
        QTest::addColumn<QByteArray>("launcher"); // $2 is the workbook
        QTest::addColumn<QString>("failure");     // "": started
        QTest::addColumn<int>("atLeastMs");       // before the command goes on
        QTest::addRow("ends with an error")
            << QByteArray("sleep 1; exit 3\n") << "ended with exit code 3" << 900;
        QTest::addRow("killed") << QByteArray("kill -9 $$\n") << "stopped unexpectedly" << 0;
        QTest::addRow("hands over to a running copy") << QByteArray("sleep 1; exit 0\n") << "" << 900;
        QTest::addRow("opens the workbook and stays")
            << QByteArray("sleep 1; cat \"$2\" >/dev/null; exec sleep 4\n") << "" << 900;
    }
    void theStartIsWaitedFor()
    {
        QFETCH(QByteArray, launcher);
        QFETCH(QString, failure);
        QFETCH(int, atLeastMs);
        const QString program = dir->filePath(QStringLiteral("calc"));
        writeScript(program, launcher);
        qputenv("ZENTAVO_SPREADSHEET", QFile::encodeName(program));
        const QString workbook = dir->filePath(QStringLiteral("Results-1.xlsx"));
        QVERIFY(QFile(workbook).open(QIODevice::WriteOnly));
        EventPump pump;
        QElapsedTimer took;
        took.start();
        QString said;
        {
            LibreOfficeCalc calc;
            try {
                calc.open(workbook, pump);
            } catch (const Failure &error) {
                said = error.description();
            }
        }
        QVERIFY2(took.elapsed() >= atLeastMs && took.elapsed() < 3500,
                 qPrintable(QString::number(took.elapsed())));
        QCOMPARE(said.isEmpty(), failure.isEmpty());
        QVERIFY2(failure.isEmpty() || (said.contains(program) && said.contains(failure)), qPrintable(said));
    }

    void anotherBrowserCanBeNamed()
    {
        // What every test and tool that runs the real program relies on.
        const QString record = dir->filePath(QStringLiteral("opened"));
        writeScript(dir->filePath(QStringLiteral("browser")),
                    "printf '%s\\n' \"$@\" > '" + QFile::encodeName(record) + "'\n");
        qputenv("ZENTAVO_BROWSER", QFile::encodeName(dir->filePath(QStringLiteral("browser"))));
        DesktopBrowser().open(QUrl(QStringLiteral("https://zentavo.example/")));
        qunsetenv("ZENTAVO_BROWSER");
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(record).size() > 0, 10000);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("https://zentavo.example/\n"));
    }

    void theWorkbookOpensAsANewDocument()
    {
        const QString record = dir->filePath(QStringLiteral("arguments"));
        writeScript(dir->filePath(QStringLiteral("calc")),
                    "printf '%s\\n' \"$@\" > '" + QFile::encodeName(record) + ".part' && mv '" +
                        QFile::encodeName(record) + ".part' '" + QFile::encodeName(record) + "'\n");
        qputenv("ZENTAVO_SPREADSHEET", QFile::encodeName(dir->filePath(QStringLiteral("calc"))));
        EventPump pump;
        LibreOfficeCalc().open(QStringLiteral("/some where/Results-1.xlsx"), pump);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
        QFile file(record);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("-n\n/some where/Results-1.xlsx\n"));
    }
};

QTEST_MAIN(TestDesktopServices)
#include "tst_desktopservices.moc"
