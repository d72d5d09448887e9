#include "ui/form1.h"

#include "core/memorybudget.h"
#include "core/prompter.h"
#include "generator/optiontable.h"
#include "ui/resultsview.h"
#include "ui/twips.h"
#include "ui/windowlook.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOption>
#include <QStyleOptionViewItem>

namespace zentavo {

namespace {

// A bar that shows its text as given. A bar's format turns "%p", "%v" and
// "%m" into numbers, and the texts shown here name files, which may hold them.
class PlainTextProgressBar final : public QProgressBar
{
public:
    using QProgressBar::QProgressBar;
    void setPlainText(const QString &text)
    {
        m_text = text;
        update();
    }
    QString text() const override { return m_text; }

private:
    QString m_text;
};

// A control of the design at its place, with its name in the design, so a
// skin's style sheet can address it (#Frame1).
template <typename Control>
Control *place(Control *control, const char *name, int left, int top, int width, int height)
{
    control->setObjectName(QLatin1String(name));
    control->setGeometry(twipsRect(left, top, width, height));
    return control;
}

// Titles of the list's columns in full ink: some styles (Adwaita) dim them
// below what can be read comfortably.
class FullInkHeaderStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget) const override
    {
        const auto *header = qstyleoption_cast<const QStyleOptionHeader *>(option);
        if (element != CE_HeaderLabel || !header)
            return QProxyStyle::drawControl(element, option, painter, widget);
        painter->setPen(header->palette.color(QPalette::ButtonText));
        painter->drawText(header->rect.adjusted(4, 0, -4, 0), int(header->textAlignment), header->text);
    }
};

} // namespace

Form1::Form1(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      m_services(services), m_prompter(*services.prompter, m_pump),
      m_errorReport(m_prompter, services.supportAddress), m_generator(*services.random, m_errorReport)
{
    m_services.prompter = &m_prompter;
    createControls();
    setTabOrder();
    wirePointerHandlers();
    wireOptionHandlers();
    setUpKeyboard();
    setUpAccessibility();
    m_results.setMemoryBudget(&memoryBudget());
}

const MemoryBudget &Form1::memoryBudget() const
{
    return m_services.memoryBudget ? *m_services.memoryBudget : systemMemoryBudget();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    const QSize client(twipsToPixels(8040), twipsToPixels(10680));
    setFixedSize(client);
    setFont(boldArial(9));
    // White whatever the desktop's colours, so the captions on it are black
    // whatever they are too: a dark theme's light text would be unreadable.
    // Fields, buttons and the list paint their own background and keep the
    // theme's colours.
    paintWhite(this);
    setObjectName(QStringLiteral("Form1"));

    Frame1 = place(new QGroupBox(tr("Options"), this), "Frame1", 120, 90, 7800, 1785);
    Frame4 = place(new QGroupBox(tr("At Least Option"), this), "Frame4", 120, 1905, 7800, 690);
    Frame5 = place(new QGroupBox(tr("Additional Options"), this), "Frame5", 120, 2670, 7800, 1785);
    Frame2 = place(new QGroupBox(tr("How many passwords would you like to generate?"), this), "Frame2", 120,
                   4515, 7800, 780);
    Frame3 = place(new QGroupBox(tr("What length?"), this), "Frame3", 120, 5370, 7800, 780);
    createOptionControls();

    const QFont buttonFont = boldArial(11.25);
    auto button = [&](const QString &caption, const char *name, int left, int top, int width) {
        auto *pushButton = place(new QPushButton(caption, this), name, left, top, width, 405);
        pushButton->setFont(buttonFont);
        return pushButton;
    };
    PushButton1 = button(tr("Start Generating"), "PushButton1", 120, 6270, 7800);
    ListView1 = place(new ResultsView(m_results, this), "ListView1", 120, 6780, 7800, 2265);
    createResultsView();
    PushButton4 = button(tr("Save Results As Text File"), "PushButton4", 120, 9135, 3840);
    PushButton13 = button(tr("Save Results As Excel File"), "PushButton13", 4080, 9135, 3840);
    PushButton2 = button(tr("Copy Results To Clipboard"), "PushButton2", 120, 9645, 3840);
    PushButton3 = button(tr("Clear Results"), "PushButton3", 4080, 9645, 3840);

    auto *progressBar = new PlainTextProgressBar(this);
    ProgressBar1 = place(progressBar, "ProgressBar1", 120, 10170, 7800, 405);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(true);
    ProgressBar1->setAlignment(Qt::AlignCenter);
    progressBar->setPlainText(tr("Progress Bar"));
    fitTheStyle();

    const std::pair<QPushButton *, void (Form1::*)()> commands[] = {
        {PushButton1, &Form1::PushButton1_Click},
        {PushButton3, &Form1::PushButton3_Click},
        {PushButton4, &Form1::PushButton4_Click},
        {PushButton2, &Form1::PushButton2_Click},
        {PushButton13, &Form1::PushButton13_Click}};
    for (const auto &[pushButton, command] : commands)
        connect(pushButton, &QPushButton::clicked, this, [this, run = command] { runCommand(run); });
}

void Form1::createResultsView()
{
    ListView1->setFont(boldArial(9));
    ListView1->setToolTip(tr("Double-click item to remove it. Move | line to right and out of window to "
                             "reveal full names."));
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
    ListView1->setShowGrid(false);
    ListView1->setWordWrap(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setTabKeyNavigation(false);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->horizontalHeader()->setSectionsClickable(false);
    connect(&m_results, &ResultsList::columnWidthChanged, this, &Form1::applyColumnWidth);
    createResultsMenu();
}

void Form1::fitTheStyle()
{
    // Fields, buttons, the list and the bar paint their own ground and keep
    // the desktop's colours whole, the list's header included, rather than
    // the window's white; the captions on the window are black.
    for (QWidget *control : findChildren<QWidget *>()) {
        if (qobject_cast<QCheckBox *>(control) || qobject_cast<QGroupBox *>(control))
            writeInBlack(control);
        if (qobject_cast<QLineEdit *>(control) || qobject_cast<QPushButton *>(control) ||
            control == ListView1 || control == ProgressBar1) {
            QPalette desktop = QApplication::palette(control);
            desktop.setResolveMask(~QPalette::ResolveMask(0)); // every role its own, none from the window
            control->setPalette(desktop);
        }
    }
    // A style whose tick box takes more room than the design's (Adwaita)
    // gets it: a caption grows to its full width within its frame, and the
    // field beside the user's characters moves over.
    for (QCheckBox *box : findChildren<QCheckBox *>()) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const int lacking = box->fontMetrics().horizontalAdvance(box->text()) -
                            box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
        if (lacking > 0)
            box->resize(std::min(box->width() + lacking, box->parentWidget()->width() - box->x()),
                        box->height());
    }
    const int fieldLeft = std::max(Text1->x(), Check2->geometry().right() + 4);
    Text1->setGeometry(fieldLeft, Text1->y(), Text1->geometry().right() + 1 - fieldLeft, Text1->height());
    auto *headerStyle = new FullInkHeaderStyle(QApplication::style()->name());
    headerStyle->setParent(ListView1);
    ListView1->horizontalHeader()->setStyle(headerStyle);
    // The bar's text belongs inside it; a style that writes it beside the
    // bar (Adwaita) leaves it no room in the design, so Fusion draws it.
    QStyleOptionProgressBar bar;
    bar.initFrom(ProgressBar1);
    bar.textVisible = true;
    bar.text = ProgressBar1->text();
    QStyle *style = ProgressBar1->style();
    if (!style->subElementRect(QStyle::SE_ProgressBarGroove, &bar, ProgressBar1)
             .contains(style->subElementRect(QStyle::SE_ProgressBarLabel, &bar, ProgressBar1))) {
        QStyle *fusion = QStyleFactory::create(QStringLiteral("Fusion"));
        fusion->setParent(ProgressBar1);
        ProgressBar1->setStyle(fusion);
    }
}

void Form1::setTabOrder()
{
    // The design's tab order, frames left out since they take no focus: the
    // list first, then the options, the buttons, the two fields, the at-least
    // option and the additional options from the bottom up.
    const QWidget *order[] = {ListView1,   Check5,      Check6,       Check7,      Check2,      Text1,
                              PushButton1, PushButton4, PushButton13, PushButton3, PushButton2, Text2,
                              Text3,       Check8,      Check1,       Check3,      Check4,      Check9};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(const_cast<QWidget *>(order[i - 1]), const_cast<QWidget *>(order[i]));
    ProgressBar1->setFocusPolicy(Qt::NoFocus);
    ListView1->setFocus();
}

void Form1::wirePointerHandlers()
{
    // Moving over the background, the first three frames or the list shows
    // the arrow; over a push button, the hand. The other controls have no say:
    // moving over them leaves the pointer as it was. Each control answers
    // only for itself, so no move passes on to the frame or window behind.
    for (QWidget *child : findChildren<QWidget *>())
        child->setAttribute(Qt::WA_NoMousePropagation);
    setMouseTracking(true);
    const QList<QWidget *> arrowAreas{Frame1, Frame2, Frame3, ListView1->viewport(),
                                      ListView1->horizontalHeader()};
    const QList<QWidget *> handAreas{PushButton1, PushButton13, PushButton2, PushButton3, PushButton4};
    for (QWidget *area : arrowAreas + handAreas) {
        area->setMouseTracking(true);
        area->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView1 && event->type() == QEvent::KeyPress &&
        handleListKey(static_cast<QKeyEvent *>(event)))
        return true;
    // The Menu key, as the X server reports it besides the key itself: the
    // menu opens at the current row, not where the mouse happens to be.
    if (watched == ListView1 && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        showResultsMenu(std::nullopt);
        return true;
    }
    // The numeric fields are the only ones watched.
    if (auto *field = qobject_cast<QLineEdit *>(watched); field && event->type() == QEvent::FocusOut)
        leavingField(field, static_cast<QFocusEvent *>(event)->reason());
    // The text fields are watched for the focus leaving them; like the
    // other controls without a say, they leave the pointer as it was.
    if (event->type() == QEvent::MouseMove && m_pointer != Pointer::Busy &&
        !qobject_cast<QLineEdit *>(watched)) {
        const bool overButton = qobject_cast<QPushButton *>(watched) != nullptr;
        setPointer(overButton ? Pointer::Hand : Pointer::Arrow);
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pointer != Pointer::Busy)
        setPointer(Pointer::Arrow);
    QWidget::mouseMoveEvent(event);
}

void Form1::setPointer(Pointer pointer)
{
    if (pointer == m_pointer && pointer != Pointer::Hand)
        return;
    m_pointer = pointer;
    switch (pointer) {
    case Pointer::Arrow:
        setCursor(Qt::ArrowCursor);
        break;
    case Pointer::Hand:
        // Without a hand image of our own the custom pointer is the arrow.
        setCursor(m_handCursor.value_or(QCursor(Qt::ArrowCursor)));
        break;
    case Pointer::Busy:
        setCursor(Qt::WaitCursor);
        break;
    }
}

void Form1::showEvent(QShowEvent *event)
{
    if (!m_centred) {
        m_centred = true;
        placeOnScreen();
    }
    QWidget::showEvent(event);
}

void Form1::closeEvent(QCloseEvent *event)
{
    // Closing ends the program at once: a command in the middle of its work
    // stops at its next chance to handle events and shows nothing more.
    m_pump.abandon();
    event->accept();
    QCoreApplication::quit();
    // Before the main loop runs (a box of the loading is up, say) quitting
    // ends no loop: a box closed ends the loop that waits for its answer.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *other : windows)
        if (other != this && other->isVisible())
            other->close();
}

void Form1::showMessage(const QString &text)
{
    // Whatever the message is about, the list behind it is shown complete.
    m_results.publishRows();
    m_services.prompter->message(Prompter::Icon::None, m_applicationTitle, text);
}

void Form1::setProgress(double percent)
{
    // The bar shows whole percents; a value may pass 100 by a hair.
    const int shown = qBound(0, qRound(percent), 100);
    if (shown != m_shownProgress) {
        m_shownProgress = shown;
        ProgressBar1->setValue(shown);
    }
}

void Form1::setProgressText(const QString &text)
{
    static_cast<PlainTextProgressBar *>(ProgressBar1)->setPlainText(text);
}

void Form1::applyColumnWidth(int column, int twips)
{
    int pixels = twipsToPixels(twips);
    // The tick box shares the first column; when line numbers are shown
    // there, the widest one (ten digits) must fit beside it whatever the
    // font and style, which the design's 1000 twips did not.
    if (column == 0 && m_results.columnCount() > 1) {
        QStyleOptionViewItem option;
        option.initFrom(ListView1);
        option.font = ListView1->font();
        option.fontMetrics = QFontMetrics(option.font);
        option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
        option.text = QString::number(kPasswordCount.maximum);
        option.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        pixels = std::max(pixels, ListView1->style()
                                      ->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), ListView1)
                                      .width());
    }
    ListView1->horizontalHeader()->resizeSection(column, pixels);
}

} // namespace zentavo
