#define QTEST_QPA_MOUSE_HANDLING

#include "cursorbytes.h"
#include "runningwindow.h"
#include "ui/form1.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QTest>
#include <sys/stat.h>

using namespace zentavo;
using namespace zentavo::test;

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

const QMap<QString, QString> kFirstStartWrites{
    {"Zentavo/Alpha Lower", "1"},     {"Zentavo/Alpha Upper", "1"},
    {"Zentavo/Numeric", "1"},         {"Zentavo/Number Of Passwords", "50"},
    {"Zentavo/Password Length", "6"}, {"Zentavo/Check8", "1"},
    {"Zentavo/Check9", "1"},          {"Zentavo/Check4", "1"},
    {"Zentavo/Check3", "1"},          {"Zentavo/Check1", "1"}};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> fixture;

private slots:
    void init() { fixture = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture.reset(); }

    void firstStartWithAnEmptyStore()
    {
        Form1 &form = fixture->start();
        for (QCheckBox *box : {form.Check5, form.Check6, form.Check7, form.Check8, form.Check9, form.Check4,
                               form.Check3, form.Check1})
            QVERIFY2(box->isChecked(), qPrintable(box->text()));
        QVERIFY(!form.Check2->isChecked());
        QVERIFY(form.Text1->isHidden());
        QCOMPARE(form.Text1->text(), QStringLiteral("!@#$%^&*()"));
        QCOMPARE(form.Text2->text(), QStringLiteral("50"));
        QCOMPARE(form.Text3->text(), QStringLiteral("6"));
        QCOMPARE(form.Check8->text(),
                 QStringLiteral("Generate at least 1 character from a - z, A - Z, 0 - 9"));
        QCOMPARE(form.results().columnCount(), 2);
        QCOMPARE(form.results().columnTitle(0), QStringLiteral("Line"));
        QCOMPARE(form.results().columnWidthTwips(0), 1000);
        QCOMPARE(form.results().columnWidthTwips(1), 6000);
        QCOMPARE(form.windowTitle(), QStringLiteral("Zentavo"));
        QVERIFY(fixture->prompter.shown.isEmpty());
        // Exactly the values that differ from the window's design are written back.
        QCOMPARE(fixture->storedSettings(), kFirstStartWrites);

        // The next start finds every option stored and leaves the file as it
        // is: a rewrite would drop the comment.
        fixture->form.reset();
        fixture->settings.reset();
        QFile file(fixture->settingsFile());
        QVERIFY(file.open(QIODevice::Append));
        file.write("; left as it is\n");
        file.close();
        fixture->start();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().contains("; left as it is"));
    }

    void storedValuesAreRestored_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("shown"); // "1"/"0" for check boxes, the text for fields
        QTest::addRow("0 unticks") << "Alpha Lower"
                                   << "0"
                                   << "Check5"
                                   << "0";
        QTest::addRow("empty unticks") << "Alpha Upper"
                                       << ""
                                       << "Check6"
                                       << "0";
        QTest::addRow("1 with a blank unticks") << "Numeric"
                                                << "1 "
                                                << "Check7"
                                                << "0";
        QTest::addRow("true unticks") << "Check1"
                                      << "true"
                                      << "Check1"
                                      << "0";
        QTest::addRow("2 unticks") << "Check3"
                                   << "2"
                                   << "Check3"
                                   << "0";
        QTest::addRow("1 ticks") << "Specified"
                                 << "1"
                                 << "Check2"
                                 << "1";
        QTest::addRow("letters in the length") << "Password Length"
                                               << "abc"
                                               << "Text3"
                                               << "abc";
        QTest::addRow("count taken verbatim") << "Number Of Passwords"
                                              << " 7 "
                                              << "Text2"
                                              << " 7 ";
        QTest::addRow("own characters") << "Specified Character"
                                        << "xyz"
                                        << "Text1"
                                        << "xyz";
    }
    void storedValuesAreRestored()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, control);
        QFETCH(QString, shown);
        fixture->storeSettings({{key, stored}});
        Form1 &form = fixture->start();
        QWidget *widget = form.findChild<QWidget *>(control);
        QVERIFY(widget);
        if (auto *box = qobject_cast<QCheckBox *>(widget))
            QCOMPARE(box->isChecked() ? "1" : "0", shown);
        else
            QCOMPARE(qobject_cast<QLineEdit *>(widget)->text(), shown);
        QVERIFY(fixture->prompter.shown.isEmpty());
        // The text read is the text stored, also when a restore wrote it back.
        if (!qobject_cast<QCheckBox *>(widget))
            QCOMPARE(fixture->storedSettings().value("Zentavo/" + key), stored);
    }

    void userCharactersShownWhenStoredOn()
    {
        fixture->storeSettings({{"Specified", "1"}, {"Check9", "0"}, {"Alpha Upper", "0"}});
        Form1 &form = fixture->start();
        QVERIFY(form.Text1->isVisible());
        QCOMPARE(
            form.Check8->text(),
            QStringLiteral("Generate at least 1 character from a - z, 0 - 9,  Your specified characters"));
        QCOMPARE(form.results().columnCount(), 1);
        QCOMPARE(form.results().columnTitle(0), QStringLiteral("Result(s)"));
        QCOMPARE(form.results().columnWidthTwips(0), 6000);
    }

    void aStoreThatCannotBeWrittenIsToldOnce()
    {
        QVERIFY(QDir().mkpath(fixture->settingsFile()));
        Form1 &form = fixture->start();
        QCOMPARE(fixture->prompter.shown.size(), 1);
        const ShownMessage &warning = fixture->prompter.shown[0];
        QVERIFY(warning.icon == Prompter::Icon::Warning);
        QVERIFY(warning.text.contains(fixture->settingsFile()));
        QVERIFY(warning.text.contains(QStringLiteral("folder")));
        // The program goes on with the defaults, and options typed now apply.
        QVERIFY(form.Check5->isChecked());
        form.Check1->setChecked(false);
        form.Text2->setText(QStringLiteral("3"));
        form.Text3->setText(QStringLiteral("8"));
        QTest::mouseClick(form.PushButton1, Qt::LeftButton);
        QCOMPARE(form.results().storedRowCount(), 3);
        QCOMPARE(form.results().cell(0, 1).size(), 8);
        QCOMPARE(fixture->prompter.shown.size(), 2);
        QCOMPARE(fixture->prompter.shown[1].text, QStringLiteral("Done."));
    }

    void aGarbageStoreUsesWhatCanBeRead()
    {
        writeFile(fixture->settingsFile(),
                  QByteArray("\xff\xfe garbage\n[Zentavo]\nCheck9=0\n"
                             "Password%20Length=12\n@@@\n=\n[broken\nNumeric=@Variant(\x01)\n"));
        Form1 &form = fixture->start();
        QCOMPARE(form.Text3->text(), QStringLiteral("12"));
        QVERIFY(!form.Check9->isChecked());
        QVERIFY(form.Check7->isChecked());
        QVERIFY(fixture->prompter.shown.isEmpty());
    }

    void aDamagedStoreIsRepairedSilently()
    {
        // What a power cut leaves behind.
        const QByteArray zeros(4096, '\0');
        writeFile(fixture->settingsFile(), zeros);
        Form1 &form = fixture->start();
        QVERIFY(fixture->prompter.shown.isEmpty());
        QCOMPARE(form.Text2->text(), QStringLiteral("50"));
        QFile damaged(fixture->settingsFile() + ".damaged");
        QVERIFY(damaged.open(QIODevice::ReadOnly));
        QCOMPARE(damaged.readAll(), zeros);
        QCOMPARE(fixture->storedSettings(), kFirstStartWrites);
    }

    // Two windows starting at once on a damaged store: whichever sets it
    // aside, the damaged bytes are kept, once, and the store is a fresh file.
    void twoWindowsOnADamagedStore()
    {
        QTemporaryDir home;
        const QDir folder(home.filePath(QStringLiteral("config/Veltrano")));
        const QByteArray zeros(4096, '\0');
        writeFile(folder.filePath(QStringLiteral("Zentavo.ini")), zeros);
        RunningWindow first(home.path()), second(home.path());
        QVERIFY(first.endsCleanly());
        QVERIFY(second.endsCleanly());
        int kept = 0;
        for (const QString &aside : folder.entryList({QStringLiteral("Zentavo.ini.damaged*")})) {
            QFile file(folder.filePath(aside));
            kept += file.open(QIODevice::ReadOnly) && file.readAll() == zeros;
        }
        QCOMPARE(kept, 1);
        const QSettings fresh(folder.filePath(QStringLiteral("Zentavo.ini")), QSettings::IniFormat);
        QCOMPARE(fresh.value(QStringLiteral("Zentavo/Number Of Passwords")), QVariant(QStringLiteral("50")));
    }

    // The session ends while loading waits on a box (the store is a FIFO):
    // the window, never shown, ends too instead of appearing afterwards.
    void aSignalWhileLoadingEndsTheProgram()
    {
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkpath(QStringLiteral("config/Veltrano")));
        QCOMPARE(
            ::mkfifo(
                QFile::encodeName(home.filePath(QStringLiteral("config/Veltrano/Zentavo.ini"))).constData(),
                0600),
            0);
        RunningWindow window(home.path());
        QVERIFY(window.endsCleanly());
    }

    void aFifoInPlaceOfTheStoreIsToldOnceAndStartUpGoesOn()
    {
        QDir().mkpath(QFileInfo(fixture->settingsFile()).absolutePath());
        QCOMPARE(::mkfifo(QFile::encodeName(fixture->settingsFile()).constData(), 0600), 0);
        Form1 &form = fixture->start(); // opening the FIFO to read would wait for ever
        form.Check1->setChecked(false);
        QCOMPARE(fixture->prompter.shown.size(), 1);
        const ShownMessage &warning = fixture->prompter.shown[0];
        QVERIFY(warning.icon == Prompter::Icon::Warning);
        QVERIFY(warning.text.contains(fixture->settingsFile()));
        QVERIFY(warning.text.contains(QStringLiteral("FIFO")));
        QVERIFY(warning.text.contains(QStringLiteral("default options")));
        QVERIFY(form.Check5->isChecked());
        QVERIFY(!QFileInfo(fixture->settingsFile()).isFile());
    }

    void aFailingStepIsReportedAndLoadingGoesOn()
    {
        writeFile(fixture->programFolder + "/HAND-M.CUR", "this is no cursor");
        Form1 &form = fixture->start();
        QCOMPARE(fixture->prompter.shown.size(), 1);
        const ShownMessage &report = fixture->prompter.shown[0];
        QCOMPARE(report.title, QStringLiteral("Application Error"));
        QVERIFY(
            report.text.contains(QStringLiteral("\r\nin Quorvex2021/08/31.Form1.Form_Load at line 104\r\r")));
        QVERIFY(report.text.endsWith(
            QStringLiteral("Please email screenshot of this message to help@example.org")));
        // Everything after the failed step still happened.
        QCOMPARE(form.windowTitle(), QStringLiteral("Zentavo"));
        QCOMPARE(form.Text2->text(), QStringLiteral("50"));
        QCOMPARE(form.results().columnCount(), 2);
        QVERIFY(form.isVisible());
    }

    void theHandPointerComesFromTheProgramFolder()
    {
        writeFile(fixture->programFolder + "/HAND-M.CUR", cursorFile(7, 2));
        Form1 &form = fixture->start();
        QVERIFY(fixture->prompter.shown.isEmpty());
        QTest::mouseMove(form.PushButton4, QPoint(10, 10));
        QTRY_COMPARE(form.pointer(), Form1::Pointer::Hand);
        QCOMPARE(form.cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(form.cursor().hotSpot(), QPoint(7, 2));
        QCOMPARE(form.cursor().pixmap().size(), QSize(32, 32));
    }

    void withoutAHandFileTheHandIsTheArrow()
    {
        Form1 &form = fixture->start();
        QTest::mouseMove(form.Frame2, QPoint(3, 3));
        QTest::mouseMove(form.PushButton4, QPoint(12, 12));
        QTRY_COMPARE(form.pointer(), Form1::Pointer::Hand);
        QCOMPARE(form.cursor().shape(), Qt::ArrowCursor);
    }

    void skinRecoloursFramesAndCheckBoxes_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addRow("present") << true;
        QTest::addRow("absent") << false;
    }
    void skinRecoloursFramesAndCheckBoxes()
    {
        QFETCH(bool, present);
        const QByteArray sheet = "QPushButton { color: rgb(200, 0, 0); }";
        if (present)
            writeFile(fixture->programFolder + "/x/o.cjs", sheet);
        else
            QDir().mkpath(fixture->programFolder + "/x"); // an empty skin folder is no skin
        Form1 &form = fixture->start();
        // What shows behind the controls: a pixel of background right of each
        // control's own content (for a frame, in its title band, above the
        // panel the style draws).
        for (QWidget *control : std::initializer_list<QWidget *>{&form, form.Frame1, form.Frame4, form.Frame5,
                                                                 form.Check5, form.Check7, form.Check1}) {
            const QColor expected = present ? control->palette().color(QPalette::Button) : QColor(Qt::white);
            QVERIFY(expected != QColor(Qt::white) || !present);
            const QImage shown = control->grab().toImage();
            const int y = qobject_cast<QGroupBox *>(control) ? 1 : shown.height() / 2;
            QCOMPARE(shown.pixelColor(shown.width() - 4, y), expected);
        }
        const QImage field = form.Text2->grab().toImage();
        QCOMPARE(field.pixelColor(field.width() / 2, field.height() / 2),
                 form.palette().color(QPalette::Base));
        QCOMPARE(form.styleSheet(), present ? QString::fromLatin1(sheet) : QString());
        QVERIFY(fixture->prompter.shown.isEmpty());
    }

    void homePageOncePerHundredStarts_data()
    {
        QTest::addColumn<quint32>("draw");
        QTest::addColumn<bool>("opened");
        QTest::addRow("seventh of a hundred") << 6u << true;
        QTest::addRow("first") << 0u << false;
        QTest::addRow("last") << 99u << false;
    }
    void homePageOncePerHundredStarts()
    {
        QFETCH(quint32, draw);
        QFETCH(bool, opened);
        fixture->scripted.positions = {draw};
        fixture->random = &fixture->scripted;
        fixture->start(false);
        QCOMPARE(fixture->scripted.poolSizes, QList<quint32>{100});
        QCOMPARE(fixture->browser.opened,
                 opened ? QList<QUrl>{QUrl("https://zentavo.example/")} : QList<QUrl>{});
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
