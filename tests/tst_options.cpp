#include "ui/form1.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace zentavo;
using namespace zentavo::test;

class TestOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> fixture;
    Form1 *form = nullptr;

    QString stored(const QString &key) const { return fixture->storedSettings().value("Zentavo/" + key); }

    // Puts the focus in the field, then moves it on with Tab, as a user
    // leaving the field does; returns what the user was told.
    QStringList leave(QLineEdit *field)
    {
        field->setFocus();
        [&] { QTRY_COMPARE(QApplication::focusWidget(), field); }();
        fixture->prompter.shown.clear();
        QTest::keyClick(field, Qt::Key_Tab);
        QTest::qWait(10); // the check runs once the focus has settled
        return fixture->prompter.texts();
    }

private slots:
    void init()
    {
        fixture = std::make_unique<WindowFixture>();
        form = &fixture->start();
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
    }
    void cleanup() { fixture.reset(); }

    void typingStoresEveryKeystroke()
    {
        form->Text2->clear();
        QStringList seen;
        QObject::connect(form->Text2, &QLineEdit::textChanged, form,
                         [&] { seen << stored("Number Of Passwords"); });
        QTest::keyClicks(form->Text2, QStringLiteral("120"));
        QCOMPARE(seen, QStringList({"1", "12", "120"}));
    }

    void fieldsAreCheckedOnLeaving_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("warning"); // empty: passes
        for (const QString field : {"Text2", "Text3"}) {
            const QByteArray f = field.toLatin1();
            QTest::addRow("%s empty", f.data()) << field << ""
                                                << "Must be numeric entry.";
            QTest::addRow("%s letters", f.data()) << field << "abc"
                                                  << "Must be numeric entry.";
            QTest::addRow("%s zero", f.data()) << field << "0"
                                               << "Must be greater than 0.";
            QTest::addRow("%s negative", f.data()) << field << "-3"
                                                   << "Must be greater than 0.";
            QTest::addRow("%s 0.4", f.data()) << field << "0.4"
                                              << "Must be greater than 0.";
            QTest::addRow("%s 0.5 rounds to 0", f.data()) << field << "0.5"
                                                          << "Must be greater than 0.";
            QTest::addRow("%s 1.5", f.data()) << field << "1.5"
                                              << "";
            QTest::addRow("%s 2.5", f.data()) << field << "2.5"
                                              << "";
            QTest::addRow("%s blanks around 7", f.data()) << field << " 7 "
                                                          << "";
            QTest::addRow("%s 32767", f.data()) << field << "32767"
                                                << "";
        }
        QTest::addRow("Text3 32768") << "Text3"
                                     << "32768"
                                     << "A password can be at most 32767 characters long.";
        QTest::addRow("Text2 32768") << "Text2"
                                     << "32768"
                                     << "";
        QTest::addRow("Text2 2147483647") << "Text2"
                                          << "2147483647"
                                          << "";
        QTest::addRow("Text2 2147483648") << "Text2"
                                          << "2147483648"
                                          << "Zentavo makes at most 2147483647 passwords at a time.";
    }
    void fieldsAreCheckedOnLeaving()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, warning);
        auto *edit = form->findChild<QLineEdit *>(field);
        edit->setText(text);
        const QStringList told = leave(edit);
        QCOMPARE(told, warning.isEmpty() ? QStringList() : QStringList{warning});
        if (!warning.isEmpty()) {
            QCOMPARE(fixture->prompter.shown[0].title, QStringLiteral("Zentavo"));
            QVERIFY(fixture->prompter.shown[0].icon == Prompter::Icon::Warning);
            QCOMPARE(QApplication::focusWidget(), edit);
        } else {
            QVERIFY(QApplication::focusWidget() != edit);
        }
        // The text stays as typed, and so does what is stored.
        QCOMPARE(edit->text(), text);
        QCOMPARE(stored(field == "Text2" ? "Number Of Passwords" : "Password Length"), text);
    }

    void everyAttemptToLeaveWarnsAgain()
    {
        form->Text3->setText(QStringLiteral("x"));
        QCOMPARE(leave(form->Text3), QStringList{"Must be numeric entry."});
        QCOMPARE(leave(form->Text3), QStringList{"Must be numeric entry."});
    }

    void twoWrongFieldsDoNotBounce()
    {
        form->Text2->setText(QStringLiteral("x"));
        form->Text3->setText(QStringLiteral("y"));
        form->Text2->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), form->Text2);
        fixture->prompter.shown.clear();
        form->Text3->setFocus(Qt::MouseFocusReason); // clicking into the other wrong field
        QTest::qWait(30);
        QCOMPARE(fixture->prompter.texts(), QStringList{"Must be numeric entry."});
        QCOMPARE(QApplication::focusWidget(), form->Text2);
    }

    void checkBoxesStoreOneOrZero_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("key");
        QTest::addRow("Check5") << "Check5"
                                << "Alpha Lower";
        QTest::addRow("Check6") << "Check6"
                                << "Alpha Upper";
        QTest::addRow("Check7") << "Check7"
                                << "Numeric";
        QTest::addRow("Check2") << "Check2"
                                << "Specified";
        QTest::addRow("Check8") << "Check8"
                                << "Check8";
        QTest::addRow("Check9") << "Check9"
                                << "Check9";
        QTest::addRow("Check4") << "Check4"
                                << "Check4";
        QTest::addRow("Check3") << "Check3"
                                << "Check3";
        QTest::addRow("Check1") << "Check1"
                                << "Check1";
    }
    void checkBoxesStoreOneOrZero()
    {
        QFETCH(QString, control);
        QFETCH(QString, key);
        auto *box = form->findChild<QCheckBox *>(control);
        const bool before = box->isChecked();
        // At the far end of its designed rectangle, well past its caption.
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(box->width() - 2, box->height() / 2));
        QCOMPARE(box->isChecked(), !before);
        QCOMPARE(stored(key), before ? "0" : "1");
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(stored(key), before ? "1" : "0");
    }

    void ownCharactersFieldFollowsItsCheckBox()
    {
        QVERIFY(form->Text1->isHidden());
        form->Check2->click();
        QVERIFY(form->Text1->isVisible());
        form->Text1->setText(QStringLiteral("+-"));
        QCOMPARE(stored("Specified Character"), QStringLiteral("+-"));
        form->Check2->click();
        QVERIFY(form->Text1->isHidden());
        QCOMPARE(form->Text1->text(), QStringLiteral("+-"));
        QCOMPARE(stored("Specified Character"), QStringLiteral("+-"));
        form->Check2->click();
        QVERIFY(form->Text1->isVisible());
        QCOMPARE(form->Text1->text(), QStringLiteral("+-"));
    }

    void groupClicksRenameTheAtLeastOption()
    {
        form->Check5->click();
        form->Check6->click();
        form->Check7->click();
        QCOMPARE(form->Check8->text(), QStringLiteral("Generate at least 1 character"));
        form->Check2->click();
        form->Check6->click();
        // Group order, whatever the order of the clicks.
        QCOMPARE(form->Check8->text(),
                 QStringLiteral("Generate at least 1 character from A - Z,  Your specified characters"));
    }

    void otherOptionsChangeNothingElse()
    {
        form->Check7->click();
        form->Check7->click();
        form->PushButton1->click();
        const QString caption = form->Check8->text();
        const qsizetype rows = form->results().storedRowCount();
        QVERIFY(rows > 0);
        for (QCheckBox *box : {form->Check8, form->Check1, form->Check3, form->Check4}) {
            box->click();
            QCOMPARE(form->Check8->text(), caption);
            QCOMPARE(form->results().storedRowCount(), rows);
            QCOMPARE(form->results().columnCount(), 2);
        }
    }

    void lineNumbersRebuildTheList()
    {
        form->PushButton1->click();
        QVERIFY(form->results().storedRowCount() > 0);
        form->Check9->click();
        QCOMPARE(form->results().storedRowCount(), 0);
        QCOMPARE(form->results().columnCount(), 1);
        form->PushButton1->click();
        QVERIFY(form->results().storedRowCount() > 0);
        QCOMPARE(form->results().cell(0, 0).size(), 6); // the password alone
        form->Check9->click();
        QCOMPARE(form->results().storedRowCount(), 0);
        QCOMPARE(form->results().columnCount(), 2);
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
