// The window on screens too small for it. The design is 536 x 712 logical
// pixels; at 150 % on a 1920 x 1080 screen, or 200 % on 1366 x 768, that
// and a title bar are more than the screen has. The window then shrinks to
// what the screen offers and its content scrolls inside it. Where the
// design fits, nothing changes.

#include "ui/form1.h"

#include <QApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace zentavo {

namespace {

// The window manager's frame around the window; nothing while it is not
// known (no window manager, or not yet framed: Qt may then report nonsense).
QMargins frameOf(const QWidget *window)
{
    const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    const bool known = frame.left() >= 0 && frame.top() >= 0 && frame.right() >= 0 && frame.bottom() >= 0;
    return known ? frame : QMargins();
}

} // namespace

void Form1::placeOnScreen()
{
    fitToScreen();
    centreOnScreen();
    if (QWindow *window = windowHandle())
        connect(window, &QWindow::screenChanged, this, &Form1::fitToScreen, Qt::UniqueConnection);
    // A window manager frames the window only once it is mapped, says how
    // thick the frame is a moment later, and may place the window by its
    // own rules meanwhile. For half a second after that (two at most), the
    // title bar is counted and the frame, not the client area, centred.
    auto *watch = new QTimer(this);
    watch->setInterval(20);
    connect(watch, &QTimer::timeout, this,
            [this, watch, ticks = 0, framedTicks = 0, fitted = QMargins()]() mutable {
                const QMargins frame = frameOf(this);
                if (!frame.isNull()) {
                    if (frame != fitted) {
                        fitted = frame;
                        fitToScreen();
                    }
                    centreOnScreen();
                    ++framedTicks;
                }
                if (++ticks >= 100 || framedTicks >= 25) {
                    watch->stop();
                    watch->deleteLater();
                }
            });
    watch->start();
}

void Form1::fitToScreen()
{
    const QScreen *shownOn = screen();
    if (!shownOn)
        return;
    const QSize design(twipsToPixels(8040), twipsToPixels(10680));
    const QSize room = shownOn->availableGeometry().size().shrunkBy(frameOf(this));
    if (!m_scroller && design.width() <= room.width() && design.height() <= room.height())
        return;
    if (!m_scroller)
        makeScrollable(design);
    // A scroll bar along one edge takes room from the other.
    const int bar = std::max(m_scroller->verticalScrollBar()->sizeHint().width(),
                             m_scroller->horizontalScrollBar()->sizeHint().height());
    bool tall = design.height() > room.height(), wide = design.width() > room.width();
    wide = wide || (tall && design.width() + bar > room.width());
    tall = tall || (wide && design.height() + bar > room.height());
    const QSize size(std::min(design.width() + (tall ? bar : 0), room.width()),
                     std::min(design.height() + (wide ? bar : 0), room.height()));
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // A Wayland compositor tells no window how much of the screen its
        // panels take, and places windows itself: the window asks for all
        // the room there is and takes exactly the size it is given, its
        // content scrolling in it.
        m_scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        m_scroller->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        if (!m_sizedByCompositor) {
            m_sizedByCompositor = true;
            setMinimumSize(QSize(1, 1));
            setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
            resize(size);
            setWindowState(windowState() | Qt::WindowMaximized);
        }
        return;
    }
    // Only the bars the page needs: a bar a pixel too wide must not bring
    // the other one in.
    m_scroller->setHorizontalScrollBarPolicy(wide ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    m_scroller->setVerticalScrollBarPolicy(tall ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setFixedSize(size);
}

void Form1::makeScrollable(const QSize &design)
{
    // The controls move onto a page of the designed size inside a scroll
    // area; both are transparent, so the window's own background (white, or
    // a skin's) shows through as before.
    const QList<QWidget *> controls = findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    m_scroller = new QScrollArea(this);
    m_scroller->setObjectName(QStringLiteral("Scroller"));
    m_scroller->setFrameShape(QFrame::NoFrame);
    m_scroller->setFocusPolicy(Qt::NoFocus);
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Page"));
    page->setFixedSize(design);
    for (QWidget *control : controls) {
        if (control->isWindow())
            continue; // a dialog of the window's, not a control on it
        const QRect place = control->geometry();
        const bool hidden = control->isHidden();
        control->setParent(page);
        control->setGeometry(place);
        control->setVisible(!hidden);
    }
    m_scroller->setWidget(page);
    // Moving house reorders the focus chain: the designed order again.
    setTabOrder();
    m_scroller->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    // Moving over the page's background is moving over the window's.
    for (QWidget *area : {static_cast<QWidget *>(page), m_scroller->viewport()}) {
        area->setMouseTracking(true);
        area->setAttribute(Qt::WA_NoMousePropagation);
        area->installEventFilter(this);
    }
    // Whatever takes the focus, by Tab, a click or a message sending it back
    // to a field, is scrolled into view: the whole control, not just a
    // field's text cursor. Focus that merely returns with the window (as at
    // start) leaves the view where it is.
    connect(qApp, &QApplication::focusChanged, m_scroller, [this, page](QWidget *old, QWidget *now) {
        if (!old || !now || !page->isAncestorOf(now))
            return;
        const QRect area(now->mapTo(page, QPoint()), now->size());
        m_scroller->ensureVisible(area.center().x(), area.center().y(), area.width() / 2 + 1,
                                  area.height() / 2 + 1);
    });
    // The scroll area fills the window, whatever size it is given.
    auto *fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(m_scroller);
}

void Form1::centreOnScreen()
{
    const QScreen *shownOn = screen();
    if (!shownOn || m_sizedByCompositor)
        return;
    // The frame centred on what the screen offers, and never past its edges.
    const QRect available = shownOn->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(available.center());
    frame.moveLeft(std::max(available.left(), std::min(frame.left(), available.right() - frame.width() + 1)));
    frame.moveTop(std::max(available.top(), std::min(frame.top(), available.bottom() - frame.height() + 1)));
    if (frame.topLeft() != frameGeometry().topLeft())
        move(frame.topLeft());
}

} // namespace zentavo
