// The window on a real (virtual) display under a window manager, at the
// screen size and scale the environment sets (screenfit.sh runs it at
// several). ZENTAVO_EXPECT says whether the design should fit there.

#include "ui/form1.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QWindow>

using namespace zentavo;
using namespace zentavo::test;

namespace {

bool whollyVisible(QWidget *control)
{
    return control->visibleRegion().boundingRect() == control->rect();
}

} // namespace

class TestScreenFit : public QObject
{
    Q_OBJECT

    std::unique_ptr<WindowFixture> fixture;
    Form1 *form = nullptr;

private slots:
    void init()
    {
        fixture = std::make_unique<WindowFixture>();
        fixture->storeSettings({{"Specified", "1"}});
        form = &fixture->start();
        QApplication::setActiveWindow(form);
        QVERIFY(QTest::qWaitForWindowActive(form));
        // The window manager's frame, once it has said how thick it is.
        QTRY_VERIFY_WITH_TIMEOUT(!form->windowHandle()->frameMargins().isNull(), 5000);
        // Then the window settles where it belongs.
        QTest::qWait(700);
    }
    void cleanup() { fixture.reset(); }

    void theFramedWindowFitsTheScreenAndIsCentred()
    {
        const QRect available = form->screen()->availableGeometry();
        const QRect frame = form->frameGeometry();
        const qreal dpr = form->devicePixelRatioF();
        qInfo("screen %dx%d device pixels at %g: window %dx%d, frame %dx%d at (%d,%d) device pixels",
              qRound(form->screen()->geometry().width() * dpr),
              qRound(form->screen()->geometry().height() * dpr), dpr, qRound(form->width() * dpr),
              qRound(form->height() * dpr), qRound(frame.width() * dpr), qRound(frame.height() * dpr),
              qRound(frame.x() * dpr), qRound(frame.y() * dpr));
        QVERIFY2(available.contains(frame), qPrintable(QStringLiteral("frame %1,%2 %3x%4 on %5x%6")
                                                           .arg(frame.x())
                                                           .arg(frame.y())
                                                           .arg(frame.width())
                                                           .arg(frame.height())
                                                           .arg(available.width())
                                                           .arg(available.height())));
        const QPoint offCentre = frame.center() - available.center();
        QVERIFY2(std::abs(offCentre.x()) <= 1 && std::abs(offCentre.y()) <= 1,
                 qPrintable(QStringLiteral("off centre by %1,%2").arg(offCentre.x()).arg(offCentre.y())));

        const bool scrolls = form->findChild<QScrollArea *>() != nullptr;
        QCOMPARE(scrolls ? "scrolls" : "fits", qgetenv("ZENTAVO_EXPECT"));
        if (!scrolls) {
            QCOMPARE(form->size(), QSize(536, 712));
            QCOMPARE(form->PushButton1->parentWidget(), form);
        } else if (form->width() > 536) {
            // Scrolling down is enough: no bar across the bottom.
            QVERIFY(!form->findChild<QScrollArea *>()->horizontalScrollBar()->isVisible());
        }
    }

    void everyControlCanBeReached()
    {
        auto *scroller = form->findChild<QScrollArea *>();
        // From the keyboard: each control in the tab order comes into view
        // as it takes the focus.
        form->Check5->setFocus(Qt::TabFocusReason);
        QStringList order;
        do {
            QWidget *focused = QApplication::focusWidget();
            QVERIFY2(whollyVisible(focused), qPrintable(focused->objectName()));
            order << focused->objectName();
            QTest::keyClick(focused, Qt::Key_Tab);
        } while (QApplication::focusWidget() != form->Check5 && order.size() < 40);
        // In the window's own order, also where the controls scroll.
        QCOMPARE(order,
                 (QStringList{"Check5", "Check6", "Check7", "Check2", "Text1", "PushButton1", "PushButton4",
                              "PushButton13", "PushButton3", "PushButton2", "Text2", "Text3", "Check8",
                              "Check1", "Check3", "Check4", "Check9", "ListView1"}));
        // With the scroll bar: the top and the bottom of the page.
        if (scroller)
            scroller->verticalScrollBar()->setValue(scroller->verticalScrollBar()->maximum());
        QVERIFY(whollyVisible(form->ProgressBar1));
        if (scroller)
            scroller->verticalScrollBar()->setValue(0);
        QVERIFY(whollyVisible(form->Frame1));
    }
};

QTEST_MAIN(TestScreenFit)
#include "tst_screenfit.moc"
