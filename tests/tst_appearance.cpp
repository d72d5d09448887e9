// What the user sees under a dark desktop theme: the window keeps its white
// background, and every caption on it stays dark enough to read. Measured on
// rendered pixels. Run as it is, the test applies a dark Fusion palette of
// its own; with QT_QPA_PLATFORMTHEME set, the desktop theme's palette is used
// as it comes (and must be dark, or the test would prove nothing).

#include "ui/form1.h"
#include "ui/splash.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <map>

using namespace zentavo;
using namespace zentavo::test;

namespace {

double luminance(QRgb rgb)
{
    auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Where a control draws its text, in its own coordinates.
QRect textArea(QWidget *control)
{
    QStyle *style = control->style();
    if (auto *box = qobject_cast<QCheckBox *>(control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return style->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    }
    if (auto *frame = qobject_cast<QGroupBox *>(control)) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        option.textAlignment = frame->alignment();
        return style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
    }
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    }
    // Fields and the progress bar: inside their border.
    return control->rect().adjusted(3, 3, -3, -3);
}

struct Measure
{
    QRgb background;
    double ratio;
};

// The area's commonest colour is its background; the pixel that differs most
// from it is the ink of the text.
Measure measure(const QImage &image, const QRect &area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    const QRgb background = std::max_element(counts.begin(), counts.end(), [](auto &a, auto &b) {
                                return a.second < b.second;
                            })->first;
    double best = 1.0;
    for (const auto &[colour, count] : counts)
        best = std::max(best, contrast(colour, background));
    return {background, best};
}

} // namespace

class TestAppearance : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> fixture;

    void check(QWidget *window, QWidget *control, bool onWhite)
    {
        const QImage shot = window->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const QRect area = textArea(control).translated(control->mapTo(window, QPoint()));
        const QRect pixels(
            QPoint(qFloor(area.left() * ratio), qFloor(area.top() * ratio)),
            QPoint(qFloor((area.right() + 1) * ratio) - 1, qFloor((area.bottom() + 1) * ratio) - 1));
        // All of the text within its room (the bar's text inside the bar).
        const QString text =
            control->property(qobject_cast<QGroupBox *>(control) ? "title" : "text").toString();
        QVERIFY2(control->fontMetrics().horizontalAdvance(text) <= textArea(control).width(),
                 qPrintable(text));
        const Measure found = measure(shot, pixels & shot.rect());
        if (!qEnvironmentVariableIsEmpty("ZENTAVO_SHOTS"))
            shot.save(qEnvironmentVariable("ZENTAVO_SHOTS") + "/" + window->objectName() + ".png");
        qInfo("%s: contrast %.2f : 1 on #%06x", qPrintable(control->objectName()), found.ratio,
              found.background & 0xffffff);
        // White, give or take the faint shade some styles give a frame.
        if (onWhite)
            QVERIFY2(qRed(found.background) >= 0xf0 && qGreen(found.background) >= 0xf0 &&
                         qBlue(found.background) >= 0xf0,
                     qPrintable(QColor(found.background).name()));
        QVERIFY2(found.ratio >= 4.5, qPrintable(QString::number(found.ratio)));
    }

private slots:
    void initTestCase()
    {
        // Under a style of the desktop's (QT_STYLE_OVERRIDE), its own palette, light or dark.
        const bool ownStyle = !qEnvironmentVariableIsEmpty("QT_STYLE_OVERRIDE");
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORMTHEME") && !ownStyle) {
            // What dark desktop themes hand to Qt programs.
            QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
            QPalette dark;
            dark.setColor(QPalette::Window, QColor(53, 53, 53));
            dark.setColor(QPalette::WindowText, QColor(238, 238, 238));
            dark.setColor(QPalette::Base, QColor(35, 35, 35));
            dark.setColor(QPalette::AlternateBase, QColor(53, 53, 53));
            dark.setColor(QPalette::Text, QColor(238, 238, 238));
            dark.setColor(QPalette::Button, QColor(53, 53, 53));
            dark.setColor(QPalette::ButtonText, QColor(238, 238, 238));
            dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
            dark.setColor(QPalette::HighlightedText, Qt::black);
            dark.setColor(QPalette::ToolTipBase, QColor(53, 53, 53));
            dark.setColor(QPalette::ToolTipText, QColor(238, 238, 238));
            QApplication::setPalette(dark);
        }
        const QPalette theme = QApplication::palette();
        QVERIFY2(ownStyle || (luminance(theme.color(QPalette::Window).rgb()) < 0.2 &&
                              luminance(theme.color(QPalette::WindowText).rgb()) > 0.5),
                 "the desktop theme in use is not a dark one");
    }
    void init() { fixture = std::make_unique<WindowFixture>(); }
    void cleanup() { fixture.reset(); }

    void mainWindowCaptions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("onWhite");
        for (const char *name : {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Check1", "Check2",
                                 "Check3", "Check4", "Check5", "Check6", "Check7", "Check8", "Check9"})
            QTest::addRow("%s", name) << name << true;
        for (const char *name : {"Header", "Text1", "Text2", "Text3", "PushButton1", "PushButton2",
                                 "PushButton3", "PushButton4", "PushButton13", "ProgressBar1"})
            QTest::addRow("%s", name) << name << false;
    }
    void mainWindowCaptions()
    {
        QFETCH(QString, name);
        QFETCH(bool, onWhite);
        fixture->storeSettings({{"Specified", "1"}});
        Form1 &form = fixture->start();
        QWidget *control =
            name == "Header" ? form.ListView1->horizontalHeader() : form.findChild<QWidget *>(name);
        QVERIFY(control);
        check(&form, control, onWhite);
    }

    // A tick stands out from its box (3:1) whatever the scheme: the pixels
    // ticking changes, against the commonest colour of the ticked box.
    void ticksStandOutFromTheirBox_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name :
             {"Check1", "Check2", "Check3", "Check4", "Check5", "Check6", "Check7", "Check8", "Check9"})
            QTest::addRow("%s", name) << name;
    }
    void ticksStandOutFromTheirBox()
    {
        QFETCH(QString, name);
        auto *box = fixture->start().findChild<QCheckBox *>(name);
        QStyleOptionButton option;
        option.initFrom(box);
        const QRect indicator = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
        box->setChecked(false);
        const QImage unticked = box->grab(indicator).toImage();
        box->setChecked(true);
        const QImage ticked = box->grab(indicator).toImage();
        const QRgb ground = measure(ticked, ticked.rect()).background;
        double tick = 1.0;
        for (int y = 0; y < ticked.height(); ++y)
            for (int x = 0; x < ticked.width(); ++x)
                if (ticked.pixel(x, y) != unticked.pixel(x, y))
                    tick = std::max(tick, contrast(ticked.pixel(x, y), ground));
        qInfo("%s: tick %.2f : 1 on #%06x", qPrintable(name), tick, ground & 0xffffff);
        QVERIFY2(tick >= 3.0, qPrintable(QString::number(tick)));
    }

    // Filled past its scroll bar, the window settles: the list asks for no
    // layout and no repaint for a whole second.
    void theWindowSettlesAfterARun()
    {
        Form1 &form = fixture->start();
        form.Text2->setText(QStringLiteral("50"));
        QTest::mouseClick(form.PushButton1, Qt::LeftButton);
        QCOMPARE(form.results().rowCount(), 50);
        QTRY_VERIFY(form.ListView1->verticalScrollBar()->isVisible());
        struct Watch : QObject
        {
            QWidget *list;
            QElapsedTimer quiet;
            bool eventFilter(QObject *watched, QEvent *event) override
            {
                const auto type = event->type();
                auto *widget = qobject_cast<QWidget *>(watched);
                if ((type == QEvent::LayoutRequest || type == QEvent::Paint || type == QEvent::Resize) &&
                    widget && (widget == list || list->isAncestorOf(widget)))
                    quiet.start();
                return false;
            }
        } watch;
        watch.list = form.ListView1;
        watch.quiet.start();
        qApp->installEventFilter(&watch);
        QTRY_VERIFY_WITH_TIMEOUT(watch.quiet.elapsed() >= 1000, 10000);
        qApp->removeEventFilter(&watch);
    }

    void splashCaption()
    {
        QDir().mkpath(fixture->programFolder + "/Splash");
        QImage picture(QSize(300, 200), QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        QVERIFY(picture.save(fixture->programFolder + "/Splash/a.png"));
        QFile(fixture->programFolder + "/CMakeCache.txt").open(QIODevice::WriteOnly);
        Splash splash(fixture->services());
        splash.setObjectName("Splash");
        QTimer::singleShot(50, &splash, [&] { check(&splash, splash.Check1, true); });
        splash.SplashShow();
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
