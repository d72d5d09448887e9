#include "core/failure.h"
#include "ui/splash.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace zentavo;
using namespace zentavo::test;

class TestSplash : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> fixture;

    QString splashFolder() const { return fixture->programFolder + "/Splash"; }

    void addPicture(const QString &name, QSize size = QSize(300, 200))
    {
        QDir().mkpath(splashFolder());
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(splashFolder() + "/" + name, "PNG"));
    }
    // Makes the program folder look like a build tree: the wait is short.
    void developmentRun()
    {
        QFile cache(fixture->programFolder + "/CMakeCache.txt");
        QVERIFY(cache.open(QIODevice::WriteOnly));
    }

private slots:
    void init()
    {
        fixture = std::make_unique<WindowFixture>();
        fixture->clock.step = 0.1f;
    }
    void cleanup() { fixture.reset(); }

    void layoutFollowsThePicture()
    {
        addPicture("picture.png");
        developmentRun();
        Splash splash(fixture->services());
        bool shownDuringWait = false;
        QTimer::singleShot(0, &splash, [&] { shownDuringWait = splash.isVisible(); });
        splash.SplashShow();
        QVERIFY(shownDuringWait);
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.windowTitle(), QStringLiteral("Zentavo"));
        QCOMPARE(splash.size(), QSize(300, 220));
        QCOMPARE(splash.Image1->geometry(), QRect(0, 0, 300, 220));
        QCOMPARE(splash.Image1->pixmap().size(), QSize(300, 200));
        QCOMPARE(splash.Check1->geometry().topLeft(), QPoint(twipsToPixels(120), twipsToPixels(2905)));
        QCOMPARE(splash.Line1->ends(), QLine(0, 0, 0, 10000));
        QCOMPARE(splash.Line2->ends(), QLine(0, 0, 10000, 0));
        QCOMPARE(splash.Line3->ends(), QLine(4490, 0, 4490, 10000));
        QCOMPARE(splash.Line4->ends(), QLine(0, 3290, 10000, 3290));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
    }

    void waitsItsTime_data()
    {
        QTest::addColumn<bool>("development");
        QTest::addColumn<float>("start");
        QTest::addColumn<float>("seconds");
        QTest::addRow("installed") << false << 43200.0f << 4.0f;
        QTest::addRow("development") << true << 43200.0f << 0.4f;
        QTest::addRow("across midnight") << true << 86399.8f << 0.4f;
    }
    void waitsItsTime()
    {
        QFETCH(bool, development);
        QFETCH(float, start);
        QFETCH(float, seconds);
        addPicture("a.png");
        if (development)
            developmentRun();
        fixture->clock.now = start;
        Splash splash(fixture->services());
        splash.SplashShow();
        // The clock moves 0.1 s a reading: the wait reads it until the time
        // has passed, and no longer.
        const int readings = fixture->clock.reads;
        QVERIFY2(readings >= int(seconds / 0.1f) + 1 && readings <= int(seconds / 0.1f) + 3,
                 qPrintable(QString::number(readings)));
    }

    void hiddenWhenTheUserAskedSo()
    {
        addPicture("a.png");
        fixture->storeSettings({{"ShowAgain", "1"}});
        Splash splash(fixture->services());
        splash.SplashShow();
        QCOMPARE(fixture->clock.reads, 0);
    }

    void nothingWithoutAPicture_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addRow("no folder") << "none";
        QTest::addRow("empty folder") << "empty";
        QTest::addRow("hidden files only") << "hidden";
    }
    void nothingWithoutAPicture()
    {
        QFETCH(QString, content);
        if (content != "none")
            QDir().mkpath(splashFolder());
        if (content == "hidden")
            addPicture(".hidden.png");
        Splash splash(fixture->services());
        // A folder path still "exists", so the picture load is what fails.
        if (content == "none") {
            splash.SplashShow();
        } else {
            QVERIFY_THROWS_EXCEPTION(Failure, splash.SplashShow());
        }
        QCOMPARE(fixture->clock.reads, 0);
        QVERIFY(!splash.isVisible());
    }

    void theFirstFileListedIsTheOneShown()
    {
        QDir().mkpath(splashFolder());
        addPicture("b.png", QSize(40, 30));
        QFile notPicture(splashFolder() + "/a.txt");
        QVERIFY(notPicture.open(QIODevice::WriteOnly));
        notPicture.write("not a picture");
        notPicture.close();
        const QString first = QDir(splashFolder()).entryList(QDir::Files, QDir::Unsorted).value(0);
        developmentRun();
        Splash splash(fixture->services());
        if (first == "a.txt") {
            QVERIFY_THROWS_EXCEPTION(Failure, splash.SplashShow());
        } else {
            splash.SplashShow();
            QCOMPARE(splash.size(), QSize(40, 50));
        }
    }

    void aStoredValueThatIsNoNumberFails()
    {
        addPicture("a.png");
        fixture->storeSettings({{"ShowAgain", "maybe"}});
        Splash splash(fixture->services());
        QVERIFY_THROWS_EXCEPTION(Failure, splash.SplashShow());
        QVERIFY(!splash.isVisible());
    }

    void tickingHideIsStoredAtOnceButTheSplashStays()
    {
        addPicture("a.png");
        developmentRun();
        Splash splash(fixture->services());
        QString storedWhileUp;
        QTimer::singleShot(0, &splash, [&] {
            splash.Check1->click();
            storedWhileUp = fixture->storedSettings().value("Zentavo/ShowAgain");
        });
        splash.SplashShow();
        QCOMPARE(storedWhileUp, QStringLiteral("1"));
        QVERIFY(fixture->clock.reads >= 5); // the full 0.4 s
        const int readsBefore = fixture->clock.reads;
        splash.SplashShow();
        QCOMPARE(fixture->clock.reads, readsBefore); // not shown again
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
