// Mouse events travel through the window system, as real ones do.
#define QTEST_QPA_MOUSE_HANDLING

#include "ui/form1.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace zentavo;
using namespace zentavo::test;

namespace {

QRect twips(int left, int top, int width, int height)
{
    const int x = twipsToPixels(left), y = twipsToPixels(top);
    return QRect(x, y, twipsToPixels(left + width) - x, twipsToPixels(top + height) - y);
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> fixture;
    Form1 *form = nullptr;
    RecordingPrompter *prompter = nullptr;

    QWidget *control(const QString &name) const
    {
        const std::map<QString, QWidget *> byName{{"Frame1", form->Frame1},
                                                  {"Frame2", form->Frame2},
                                                  {"Frame3", form->Frame3},
                                                  {"Frame4", form->Frame4},
                                                  {"Frame5", form->Frame5},
                                                  {"Check1", form->Check1},
                                                  {"Check2", form->Check2},
                                                  {"Check3", form->Check3},
                                                  {"Check4", form->Check4},
                                                  {"Check5", form->Check5},
                                                  {"Check6", form->Check6},
                                                  {"Check7", form->Check7},
                                                  {"Check8", form->Check8},
                                                  {"Check9", form->Check9},
                                                  {"Text1", form->Text1},
                                                  {"Text2", form->Text2},
                                                  {"Text3", form->Text3},
                                                  {"PushButton1", form->PushButton1},
                                                  {"PushButton2", form->PushButton2},
                                                  {"PushButton3", form->PushButton3},
                                                  {"PushButton4", form->PushButton4},
                                                  {"PushButton13", form->PushButton13},
                                                  {"ListView1", form->ListView1},
                                                  {"ProgressBar1", form->ProgressBar1}};
        return byName.at(name);
    }

    // Digits alone, drawn in plain mode, nothing else.
    void digitsOnly()
    {
        for (QCheckBox *box :
             {form->Check5, form->Check6, form->Check8, form->Check1, form->Check3, form->Check4})
            box->setChecked(false);
        form->Check7->setChecked(true);
    }

    void generate(const QString &count, const QString &length)
    {
        form->Text2->setText(count);
        form->Text3->setText(length);
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QVERIFY(!form->isGenerating());
    }

private slots:
    void init()
    {
        fixture = std::make_unique<WindowFixture>();
        form = &fixture->start();
        prompter = &fixture->prompter;
    }
    void cleanup() { fixture.reset(); }

    void windowFrame()
    {
        QCOMPARE(form->size(), QSize(536, 712));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(!form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QCOMPARE(form->windowTitle(), QStringLiteral("Zentavo"));
        const QPoint offCentre =
            form->frameGeometry().center() - form->screen()->availableGeometry().center();
        QVERIFY2(offCentre.manhattanLength() <= 2, "the window is not centred on its screen");
        QCOMPARE(form->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(form->font().family(), QStringLiteral("Arial"));
        QVERIFY(form->font().bold());
        QCOMPARE(form->font().pointSizeF(), 9.0);
        QCOMPARE(form->PushButton1->font().pointSizeF(), 11.25);
        QCOMPARE(form->windowIcon().availableSizes(),
                 QList<QSize>({QSize(32, 32), QSize(48, 48), QSize(128, 128), QSize(256, 256)}));
    }

    void controlsAsDesigned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("place");
        QTest::addRow("Frame1") << "Frame1"
                                << ""
                                << "Options" << twips(120, 90, 7800, 1785);
        QTest::addRow("Check5") << "Check5"
                                << "Frame1"
                                << "a - z" << twips(240, 300, 870, 240);
        QTest::addRow("Check6") << "Check6"
                                << "Frame1"
                                << "A - Z" << twips(240, 650, 960, 240);
        QTest::addRow("Check7") << "Check7"
                                << "Frame1"
                                << "0 - 9" << twips(240, 1000, 1140, 240);
        QTest::addRow("Check2") << "Check2"
                                << "Frame1"
                                << " Your specified characters" << twips(240, 1350, 2580, 240);
        QTest::addRow("Text1") << "Text1"
                               << "Frame1"
                               << "!@#$%^&*()" << twips(2880, 1300, 2535, 345);
        QTest::addRow("Frame4") << "Frame4"
                                << ""
                                << "At Least Option" << twips(120, 1905, 7800, 690);
        QTest::addRow("Frame5") << "Frame5"
                                << ""
                                << "Additional Options" << twips(120, 2670, 7800, 1785);
        QTest::addRow("Check9") << "Check9"
                                << "Frame5"
                                << "Show line numbers" << twips(240, 300, 2940, 240);
        QTest::addRow("Check4") << "Check4"
                                << "Frame5"
                                << "Make last character a digit" << twips(240, 650, 2940, 240);
        QTest::addRow("Check3") << "Check3"
                                << "Frame5"
                                << "Include space character" << twips(240, 1000, 2940, 240);
        QTest::addRow("Check1") << "Check1"
                                << "Frame5"
                                << "Remove vowels" << twips(240, 1350, 2940, 240);
        QTest::addRow("Frame2") << "Frame2"
                                << ""
                                << "How many passwords would you like to generate?"
                                << twips(120, 4515, 7800, 780);
        QTest::addRow("Text2") << "Text2"
                               << "Frame2"
                               << "10" << twips(240, 300, 7300, 345);
        QTest::addRow("Frame3") << "Frame3"
                                << ""
                                << "What length?" << twips(120, 5370, 7800, 780);
        QTest::addRow("Text3") << "Text3"
                               << "Frame3"
                               << "4" << twips(240, 300, 7300, 345);
        QTest::addRow("PushButton1") << "PushButton1"
                                     << ""
                                     << "Start Generating" << twips(120, 6270, 7800, 405);
        QTest::addRow("ListView1") << "ListView1"
                                   << ""
                                   << "" << twips(120, 6780, 7800, 2265);
        QTest::addRow("PushButton4") << "PushButton4"
                                     << ""
                                     << "Save Results As Text File" << twips(120, 9135, 3840, 405);
        QTest::addRow("PushButton13") << "PushButton13"
                                      << ""
                                      << "Save Results As Excel File" << twips(4080, 9135, 3840, 405);
        QTest::addRow("PushButton2") << "PushButton2"
                                     << ""
                                     << "Copy Results To Clipboard" << twips(120, 9645, 3840, 405);
        QTest::addRow("PushButton3") << "PushButton3"
                                     << ""
                                     << "Clear Results" << twips(4080, 9645, 3840, 405);
        QTest::addRow("ProgressBar1") << "ProgressBar1"
                                      << ""
                                      << "Progress Bar" << twips(120, 10170, 7800, 405);
    }
    void controlsAsDesigned()
    {
        QFETCH(QString, name);
        QFETCH(QString, parent);
        QFETCH(QString, caption);
        QFETCH(QRect, place);
        Form1 design(fixture->services());
        form = &design;
        QWidget *widget = control(name);
        QCOMPARE(widget->parentWidget(), parent.isEmpty() ? form : control(parent));
        QCOMPARE(widget->geometry(), place);
        QString shown;
        if (auto *box = qobject_cast<QGroupBox *>(widget))
            shown = box->title();
        else if (auto *check = qobject_cast<QCheckBox *>(widget))
            shown = check->text();
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            shown = edit->text();
        else if (auto *button = qobject_cast<QPushButton *>(widget))
            shown = button->text();
        else if (auto *bar = qobject_cast<QProgressBar *>(widget))
            shown = bar->text();
        QCOMPARE(shown, caption);
    }

    void designStateOfOptions()
    {
        // Before start-up restores the options.
        Form1 design(fixture->services());
        for (QCheckBox *box : {design.Check1, design.Check2, design.Check3, design.Check4, design.Check5,
                               design.Check6, design.Check7, design.Check8, design.Check9})
            QVERIFY(!box->isChecked());
        QVERIFY(design.Text1->isHidden());
        QCOMPARE(design.Text2->text(), QStringLiteral("10"));
        QCOMPARE(design.Text3->text(), QStringLiteral("4"));
        QCOMPARE(design.Check8->text(),
                 QStringLiteral("Generate at least 1 character from each character group (listed above)"));
        QCOMPARE(design.results().columnCount(), 0);
        QCOMPARE(form->ListView1->toolTip(),
                 QStringLiteral("Double-click item to remove it. Move | line to right and out of window to "
                                "reveal full names."));
    }

    void tabOrderFollowsTheDesign()
    {
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
        form->ListView1->setFocus();
        const QList<QWidget *> expected{
            form->Check5,      form->Check6,       form->Check7,      form->Check2,      form->PushButton1,
            form->PushButton4, form->PushButton13, form->PushButton3, form->PushButton2, form->Text2,
            form->Text3,       form->Check8,       form->Check1,      form->Check3,      form->Check4,
            form->Check9,      form->ListView1};
        for (QWidget *next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void returnPressesTheFocusedButton_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        for (const char *name :
             {"PushButton1", "PushButton4", "PushButton13", "PushButton2", "PushButton3"}) {
            QTest::addRow("%s, Return", name) << name << int(Qt::Key_Return);
            QTest::addRow("%s, Enter", name) << name << int(Qt::Key_Enter);
        }
    }
    void returnPressesTheFocusedButton()
    {
        QFETCH(QString, button);
        QFETCH(int, key);
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
        auto *pushButton = qobject_cast<QPushButton *>(control(button));
        pushButton->setFocus(Qt::TabFocusReason);
        QSignalSpy pressed(pushButton, &QPushButton::clicked);
        QTest::keyClick(pushButton, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        QCOMPARE(pressed.count(), 1);
    }

    void listLayouts_data()
    {
        QTest::addColumn<bool>("lineNumbers");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QList<int>>("widths");
        // The line numbers' width is the next test's.
        QTest::addRow("with line numbers") << true << QStringList{"Line", "Result(s)"} << QList<int>{400};
        QTest::addRow("without") << false << QStringList{"Result(s)"} << QList<int>{400};
    }
    void listLayouts()
    {
        QFETCH(bool, lineNumbers);
        QFETCH(QStringList, titles);
        QFETCH(QList<int>, widths);
        form->Check9->setChecked(lineNumbers);
        form->results().appendRow(0, u"old");
        form->ClearList();
        QCOMPARE(form->results().storedRowCount(), 0);
        QStringList shownTitles;
        QList<int> shownWidths;
        for (int c = 0; c < form->results().columnCount(); ++c) {
            shownTitles << form->results().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            if (c > 0 || !lineNumbers)
                shownWidths << form->ListView1->horizontalHeader()->sectionSize(c);
        }
        QCOMPARE(shownTitles, titles);
        QCOMPARE(shownWidths, widths);
    }

    void theLargestLineNumberShowsWhole()
    {
        form->Check9->setChecked(true);
        form->results().appendRow(2147483647, u"x");
        form->results().publishRows();
        const QSize needed = form->ListView1->sizeHintForIndex(form->results().index(0, 0));
        QVERIFY2(needed.width() <= form->ListView1->horizontalHeader()->sectionSize(0),
                 qPrintable(QString::number(needed.width())));
    }

    void startGeneratingWithTheFirstRunOptions()
    {
        // a - z, A - Z, 0 - 9, at least one of each, length 6, no vowels, a
        // space, the last character a digit, line numbers; 50 passwords.
        QTest::mouseClick(form->PushButton1, Qt::LeftButton);
        QCOMPARE(prompter->texts(), QStringList{"Done."});
        QCOMPARE(prompter->shown[0].title, QStringLiteral("Zentavo"));
        QVERIFY(prompter->shown[0].icon == Prompter::Icon::None);
        ResultsList &list = form->results();
        QCOMPARE(list.rowCount(), 50); // all shown by the time "Done." appears
        const QString lower = "bcdfghjklmnpqrstvwxyz", upper = lower.toUpper(), digits = "0123456789";
        const QList<QString> allowed{lower, upper, digits, lower + upper + digits, lower + upper + digits,
                                     digits};
        for (int r = 0; r < 50; ++r) {
            QCOMPARE(list.cell(r, 0), QString::number(r + 1));
            const QString password = list.cell(r, 1);
            QCOMPARE(password.size(), 6);
            QCOMPARE(password.count(QLatin1Char(' ')), 1);
            for (int i = 0; i < 6; ++i)
                QVERIFY2(password[i] == u' ' || allowed[i].contains(password[i]), qPrintable(password));
            QVERIFY(list.isChecked(r));
        }
        QCOMPARE(form->ProgressBar1->value(), 0);
        QCOMPARE(form->ProgressBar1->text(), QStringLiteral("Progress Bar"));
    }

    void aSecondRunAddsRowsNumberedFromOne()
    {
        digitsOnly();
        generate(QStringLiteral("3"), QStringLiteral("4"));
        generate(QStringLiteral("2"), QStringLiteral("4"));
        QStringList lines;
        for (int r = 0; r < form->results().rowCount(); ++r) {
            lines << form->results().cell(r, 0);
            QVERIFY(QRegularExpression(QStringLiteral("^[0-9]{4}$"))
                        .match(form->results().cell(r, 1))
                        .hasMatch());
        }
        QCOMPARE(lines, QStringList({"1", "2", "3", "1", "2"}));
    }

    void atLeastRejectionMovesFocusAndMakesNothing()
    {
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
        generate(QStringLiteral("5"), QStringLiteral("2"));
        QCOMPARE(prompter->texts(),
                 QStringList{"Length must be greater or equal to the number of checked items."});
        QCOMPARE(QApplication::focusWidget(), form->Text3);
        QCOMPARE(form->results().storedRowCount(), 0);
    }

    void clearResultsDuringARun()
    {
        digitsOnly();
        generate(QStringLiteral("3"), QStringLiteral("2"));
        QCOMPARE(form->results().storedRowCount(), 3);
        // The click waits in the event queue and is handled at the run's
        // first chance to process events, after which the run goes on.
        QTest::qWait(20);
        QTimer::singleShot(0, form->PushButton3,
                           [this] { QTest::mouseClick(form->PushButton3, Qt::LeftButton); });
        generate(QStringLiteral("4"), QStringLiteral("2"));
        QCOMPARE(form->results().storedRowCount(), 4);
    }

    void clearResultsDoesNothingWhileBusy()
    {
        digitsOnly();
        generate(QStringLiteral("3"), QStringLiteral("2"));
        form->setPointer(Form1::Pointer::Busy);
        QTest::mouseClick(form->PushButton3, Qt::LeftButton);
        QCOMPARE(form->results().storedRowCount(), 3);
        form->setPointer(Form1::Pointer::Arrow);
        QTest::mouseClick(form->PushButton3, Qt::LeftButton);
        QCOMPARE(form->results().storedRowCount(), 0);
        QCOMPARE(form->results().columnCount(), 2);
        QCOMPARE(prompter->texts(), QStringList{"Done."});
    }

    void pointerFollowsTheMouse()
    {
        QTest::mouseMove(form->PushButton2, QPoint(10, 10));
        QTRY_COMPARE(form->pointer(), Form1::Pointer::Hand);
        QTest::mouseMove(form, form->Frame2->geometry().bottomRight() + QPoint(0, 4));
        QTRY_COMPARE(form->pointer(), Form1::Pointer::Arrow);
        QTest::mouseMove(form->PushButton1, QPoint(10, 10));
        QTRY_COMPARE(form->pointer(), Form1::Pointer::Hand);
        // A check box has no say: the hand stays.
        QTest::mouseMove(form->Check5, QPoint(5, 5));
        QTest::qWait(20);
        QCOMPARE(form->pointer(), Form1::Pointer::Hand);
        QTest::mouseMove(form->ListView1->viewport(), QPoint(20, 20));
        QTRY_COMPARE(form->pointer(), Form1::Pointer::Arrow);
        // The busy pointer is left alone.
        form->setPointer(Form1::Pointer::Busy);
        QTest::mouseMove(form->PushButton3, QPoint(12, 12));
        QTest::qWait(20);
        QCOMPARE(form->pointer(), Form1::Pointer::Busy);
    }

    void theTextFieldsLeaveThePointerAsItWas_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addRow("Text1") << "Text1";
        QTest::addRow("Text2") << "Text2";
        QTest::addRow("Text3") << "Text3";
    }
    void theTextFieldsLeaveThePointerAsItWas()
    {
        QFETCH(QString, field);
        form->Check2->setChecked(true);
        QTest::mouseMove(form->PushButton1, QPoint(10, 10));
        QTRY_COMPARE(form->pointer(), Form1::Pointer::Hand);
        QWidget *over = control(field);
        QTest::mouseMove(over, over->rect().center());
        QTest::qWait(20);
        QCOMPARE(form->pointer(), Form1::Pointer::Hand);
    }

    void closingDuringARunStopsIt()
    {
        digitsOnly();
        QTimer::singleShot(100, form, [this] { form->close(); });
        generate(QStringLiteral("2000000"), QStringLiteral("8"));
        const qsizetype made = form->results().storedRowCount();
        QVERIFY(made > 0);
        QVERIFY(made < 2000000);
        QVERIFY(prompter->shown.isEmpty()); // no "Done."
        QVERIFY(!form->isVisible());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
