#include "ui/splash.h"

#include "core/apputil.h"
#include "core/clock.h"
#include "core/failure.h"
#include "core/optionsettings.h"
#include "core/settingsstore.h"
#include "generator/numbers.h"
#include "ui/designedcheckbox.h"
#include "ui/twips.h"
#include "ui/windowlook.h"

#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace zentavo {

namespace {

constexpr int kCheckBoxHeight = 375;

} // namespace

LineControl::LineControl(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::setEnds(int x1, int y1, int x2, int y2)
{
    m_ends = QLine(x1, y1, x2, y2);
    // The widget covers the line's box, one pixel wide at least.
    const QPoint from(twipsToPixels(x1), twipsToPixels(y1)), to(twipsToPixels(x2), twipsToPixels(y2));
    setGeometry(QRect(from, to).normalized().adjusted(0, 0, 1, 1));
    update();
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 0));
    const QPoint origin = pos();
    painter.drawLine(QPoint(twipsToPixels(m_ends.x1()), twipsToPixels(m_ends.y1())) - origin,
                     QPoint(twipsToPixels(m_ends.x2()), twipsToPixels(m_ends.y2())) - origin);
}

Splash::Splash(const Services &services, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_services(services)
{
    resize(twipsToPixels(4560), twipsToPixels(3030));
    // White with black text whatever the desktop's colours.
    paintWhite(this);

    Image1 = new QLabel(this);
    Image1->setGeometry(twipsToPixels(120), twipsToPixels(240), twipsToPixels(1215), twipsToPixels(855));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Check1 = new DesignedCheckBox(tr("Hide this at next startup"), this);
    Check1->setGeometry(twipsToPixels(120), twipsToPixels(1200), twipsToPixels(4215),
                        twipsToPixels(kCheckBoxHeight));
    Check1->setFont(boldArial(9));
    writeInBlack(Check1);
    // A button's own background is the (grey, or dark) button colour; this
    // box is part of the white window.
    Check1->setBackgroundRole(QPalette::Window);
    Check1->setAutoFillBackground(true);
    connect(Check1, &QCheckBox::clicked, this, &Splash::Check1_Click);

    Line1 = new LineControl(this);
    Line2 = new LineControl(this);
    Line3 = new LineControl(this);
    Line4 = new LineControl(this);
    int y = 1800;
    for (LineControl *line : {Line1, Line2, Line3, Line4}) {
        line->setEnds(240, y, 3480, y);
        y += 240;
    }
}

QString Splash::firstPicture() const
{
    // Whatever the file system lists first, hidden files and folders left out.
    const QString folder = m_services.programFolder + QStringLiteral("/Splash/");
    const QStringList names = QDir(folder).entryList(QDir::Files, QDir::Unsorted);
    return folder + names.value(0);
}

void Splash::SplashShow()
{
    const QString stored = m_services.settings->ReadSetting(QString::fromLatin1(kShowAgain.key),
                                                            QString::fromLatin1(kShowAgain.firstRunValue));
    const std::optional<double> showAgain = parseNumber(stored);
    if (!showAgain)
        throw Failure(tr("The setting ShowAgain holds \"%1\", which is not a number.").arg(stored));
    if (*showAgain != 0)
        return;

    const QString path = firstPicture();
    if (!FileExists(path))
        return;

    setWindowTitle(kProductName);
    QImageReader reader(path);
    const QImage picture = reader.read();
    if (picture.isNull())
        throw Failure(tr("The splash picture %1 cannot be shown: %2").arg(path, reader.errorString()));
    Image1->setPixmap(QPixmap::fromImage(picture));

    // The picture at the top, a white band of 300 twips below it for the
    // check box, and the window exactly that size.
    const int width = picture.width() * 15, height = picture.height() * 15 + 300;
    Image1->setGeometry(0, 0, picture.width(), twipsToPixels(height));
    setFixedSize(twipsToPixels(width), twipsToPixels(height));
    Check1->move(twipsToPixels(120), twipsToPixels(height - kCheckBoxHeight - 20));
    Check1->raise();

    // A frame on the four edges; the lines run long and the window cuts them.
    Line1->setEnds(0, 0, 0, 10000);
    Line2->setEnds(0, 0, 10000, 0);
    Line3->setEnds(width - 10, 0, width - 10, 10000);
    Line4->setEnds(0, height - 10, 10000, height - 10);

    if (const QScreen *shownOn = screen())
        move(shownOn->availableGeometry().center() - rect().center());
    show();
    WaitSeconds(IsDevelopmentRun(m_services.programFolder) ? 0.4 : 4);
    hide();
}

void Splash::WaitSeconds(double seconds)
{
    // Waits on the event loop, so the rest of the program goes on meanwhile,
    // and measures against the time of day, wrapping at midnight.
    const float start = m_services.clock->secondsSinceMidnight();
    auto elapsed = [&] {
        const float now = m_services.clock->secondsSinceMidnight();
        return now < start ? now + 86400.0f - start : now - start;
    };
    QEventLoop loop;
    QTimer tick;
    connect(&tick, &QTimer::timeout, &loop, [&] {
        if (elapsed() >= seconds)
            loop.quit();
    });
    tick.start(10);
    if (elapsed() < seconds)
        loop.exec();
}

void Splash::Check1_Click()
{
    m_services.settings->WriteSetting(QString::fromLatin1(kShowAgain.key),
                                      encodeCheckBox(Check1->isChecked()));
}

} // namespace zentavo
