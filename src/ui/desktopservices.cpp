#include "ui/desktopservices.h"

#include "core/config.h"
#include "core/eventpump.h"
#include "core/failure.h"
#include "core/settingsstore.h"
#include "core/wipe.h"
#include "export/background.h"
#include "export/workbookfolder.h"
#include "generator/randomsource.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QThreadPool>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

#ifdef Q_OS_LINUX
#include <sys/inotify.h>
#endif
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace zentavo {

namespace {

// While a message box is up the user can do nothing else in the program but
// close its main window, which ends the program as at any other moment. A
// box that is modal in Qt's sense would hold back that close as well, so the
// box is shown without modality, and the input meant for other windows is
// held back here instead.
class InputOnlyFor final : public QObject
{
public:
    explicit InputOnlyFor(QWidget *box) : m_box(box) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            break;
        default:
            return false;
        }
        // Answered, the box may wait to be gone until a later one is.
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() == m_box || !m_box->isVisible())
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            // A click elsewhere brings the box back to the front.
            m_box->raise();
            m_box->activateWindow();
        }
        return true;
    }

private:
    QWidget *m_box;
};

} // namespace

void MessageBoxPrompter::message(Icon icon, const QString &title, const QString &text)
{
    // One box at a time: a message that comes while another is up (a
    // command reaching its end, say) waits until that one is answered.
    while (m_shown) {
        QEventLoop untilAnswered;
        QObject::connect(m_shown, &QDialog::finished, &untilAnswered, &QEventLoop::quit);
        untilAnswered.exec(QEventLoop::DialogExec);
        if (QCoreApplication::closingDown() || (m_owner && !m_owner->isVisible()))
            return;
    }
    // A dialog of the main window, whichever window is active: the window
    // manager keeps it above its owner and gives it a dialog's frame.
    QWidget *owner = m_owner ? m_owner.data() : QApplication::activeWindow();
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, QString(),
                    QMessageBox::Ok, owner);
    // Our messages mark line ends the classic way (CR LF, or CR alone); a
    // label breaks lines only at LF. Plain text, so nothing typed by the user
    // is ever read as markup.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    box.setWindowModality(Qt::NonModal);
    // A box is answered, never maximised: it asks its frame for a title and
    // the close button alone (a window manager may add a minimise button to
    // any dialog, as openbox does).
    box.setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                       Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Wide enough for its title and the frame's buttons beside it, which the
    // box does not know of: a short text would leave the title cut off.
    const QFontMetrics titleFont(QApplication::font("QMdiSubWindowTitleBar"));
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(titleFont.horizontalAdvance(title) + 8 * titleFont.height(), 0),
                      grid->rowCount(), 0, 1, grid->columnCount());
    const InputOnlyFor onlyTheBox(&box);
    m_shown = &box;
    QObject::connect(&box, &QDialog::finished, &box, [this] { m_shown = nullptr; });
    // Closing the main window quits every event loop, this one included.
    QEventLoop untilClosed;
    QObject::connect(&box, &QDialog::finished, &untilClosed, &QEventLoop::quit);
    box.show();
    box.raise();
    box.activateWindow();
    untilClosed.exec(QEventLoop::DialogExec);
}

void DesktopBrowser::open(const QUrl &address)
{
    // Tests and tools run the real program now and then; they name a program
    // of their own here (one that records the address, or `true`), so the
    // desktop's browser never opens.
    const QString instead = qEnvironmentVariable("ZENTAVO_BROWSER");
    if (!instead.isEmpty())
        QProcess::startDetached(instead, {address.toString()});
    else
        QDesktopServices::openUrl(address);
}

QString FileSaveDialog::askForPath(SaveKind kind)
{
    QFileDialog dialog(QApplication::activeWindow(),
                       QCoreApplication::translate("zentavo::FileSaveDialog", "Save"));
    // Where the user saved last in this run, else their home: never the
    // folder the program happened to be started in.
    dialog.setDirectory(m_folder.isEmpty() ? QDir::homePath() : m_folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    const bool slips = kind == SaveKind::SlipsPdf;
    dialog.setNameFilters({slips
                               ? QCoreApplication::translate("zentavo::FileSaveDialog", "PDF Files (*.pdf)")
                               : QCoreApplication::translate("zentavo::FileSaveDialog", "Text Files (*.txt)"),
                           QCoreApplication::translate("zentavo::FileSaveDialog", "All Files (*)")});
    if (slips) {
        dialog.setDefaultSuffix(QStringLiteral("pdf"));
        dialog.selectFile(QCoreApplication::translate("zentavo::FileSaveDialog", "Passwords.pdf"));
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QString path = dialog.selectedFiles().value(0);
    if (!path.isEmpty())
        m_folder = QFileInfo(path).absolutePath();
    return path;
}

bool SystemClipboard::clear()
{
    QGuiApplication::clipboard()->clear();
    return true;
}

namespace {

// The display connection keeps the last requests it sent, clipboard text
// among them, in a buffer of its own until later requests overwrite it.
// Requests that do nothing, more than that buffer holds, push it out.
void scrubDisplayConnection()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return;
    constexpr int kNoOperations = 65536 / 4; // four bytes each; the buffer holds 16 KiB
    for (int i = 0; i < kNoOperations; ++i)
        xcb_no_operation(connection);
    xcb_flush(connection);
}

// The clipboard's copy of the text, kept in the one encoding handed to other
// programs (UTF-8, which the display's clipboard asks for by default) and
// handed out without copies. The clipboard deletes it once it lets it go
// (another program took the clipboard, our next text replaced it, or the
// program ends), and with it the text is wiped.
// Texts up to this size are overwritten at once.
constexpr qsizetype kOverwriteHere = qsizetype(1) << 20;

class SecretMimeData final : public QMimeData
{
public:
    SecretMimeData(QByteArray utf8, const QString &format)
        : m_format(format.isEmpty() ? QStringLiteral("text/plain") : format), m_utf8(std::move(utf8))
    {
    }
    ~SecretMimeData() override { forget(); }

    // Wipes the text while the clipboard still holds on to this. The bytes
    // handed out share this buffer, and the clipboard's machinery keeps a
    // reference to them after sending: they are overwritten in place, since
    // no holder has any business with them once the clipboard is not ours.
    void forget()
    {
        // A large text is overwritten on the thread pool, which holds on to
        // it until then: hundreds of megabytes take longer than the window
        // may stand still.
        const QByteArray bytes = std::exchange(m_utf8, QByteArray());
        auto overwrite = [bytes] {
            if (!bytes.isEmpty())
                sodium_memzero(const_cast<char *>(bytes.constData()), std::size_t(bytes.size()));
        };
        // Not once the program is ending: the pool may be gone by then.
        QThreadPool *pool = QCoreApplication::closingDown() ? nullptr : QThreadPool::globalInstance();
        if (pool && bytes.size() > kOverwriteHere)
            pool->start(overwrite);
        else
            overwrite();
    }

    bool hasFormat(const QString &type) const override
    {
        return type == m_format || QMimeData::hasFormat(type);
    }
    QStringList formats() const override { return QStringList(m_format) + QMimeData::formats(); }

protected:
    QVariant retrieveData(const QString &type, QMetaType preferred) const override
    {
        if (type != m_format)
            return QMimeData::retrieveData(type, preferred);
        // Asked for by another program: once the text went out, nothing of
        // it stays in the connection's buffer.
        QTimer::singleShot(0, qApp, &scrubDisplayConnection);
        return m_utf8;
    }

private:
    QString m_format;
    QByteArray m_utf8;
};

// The text in UTF-8, in a buffer of its size. The clipboard keeps it as long
// as it holds the text; one sized for the most UTF-8 can take (three bytes a
// unit) would keep three times the memory a password list needs.
QByteArray exactUtf8(QStringView text)
{
    qsizetype size = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            size += 4;
            ++i;
        } else {
            size += c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        }
    }
    QByteArray bytes;
    bytes.reserve(size);
    // A piece at a time through a small buffer, never between the two
    // halves of a surrogate pair.
    constexpr qsizetype kPiece = 1 << 16;
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QByteArray piece(encoder.requiredSpace(kPiece), Qt::Uninitialized);
    for (qsizetype at = 0; at < text.size();) {
        qsizetype units = std::min(kPiece, text.size() - at);
        if (at + units < text.size() && QChar::isHighSurrogate(text[at + units - 1].unicode()))
            --units;
        const char *end = encoder.appendToBuffer(piece.data(), text.mid(at, units));
        bytes.append(piece.constData(), end - piece.constData());
        at += units;
    }
    wipe(piece);
    return bytes;
}

} // namespace

bool SystemClipboard::setText(const QString &text, const QString &format)
{
    // Encoding a million rows takes longer than the window may stand still:
    // it runs on the thread pool while the window handles its events.
    EventPump pump;
    QByteArray utf8 = runWhileYielding(pump, [&text] { return exactUtf8(text); });
    auto *data = new SecretMimeData(std::move(utf8), format);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QClipboard *clipboard = QGuiApplication::clipboard();
    // Under Wayland the clipboard keeps our data after another program took
    // the clipboard over (the compositor cancelled our offer) until we set the
    // next: the text is wiped the moment the clipboard is no longer ours.
    if (!m_watching) {
        m_watching = std::make_unique<QObject>();
        QObject::connect(clipboard, &QClipboard::dataChanged, m_watching.get(), [this, clipboard] {
            if (m_given && clipboard->mimeData() != m_given)
                static_cast<SecretMimeData *>(m_given.data())->forget();
        });
    }
    m_given = data;
    clipboard->setMimeData(data);
    // While we hold the clipboard it hands back our own data; when another
    // program took it first, the attempt failed.
    return clipboard->mimeData() == data;
}

QString LibreOfficeCalc::command()
{
    const QString chosen = qEnvironmentVariable("ZENTAVO_SPREADSHEET");
    if (!chosen.isEmpty())
        return QStandardPaths::findExecutable(chosen);
    // The suite's launcher is there with any of its programs; Calc itself
    // is the library its own package puts beside the launcher.
    for (const char *name : {"soffice", "libreoffice"}) {
        QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (found.isEmpty())
            continue;
        const QFileInfo launcher(QFileInfo(found).canonicalFilePath());
        if (QFileInfo::exists(launcher.absolutePath() + QStringLiteral("/libsclo.so")))
            return found;
    }
    return {};
}

bool LibreOfficeCalc::isInstalled()
{
    return !command().isEmpty();
}

namespace {

// Tells when a file is opened by any program: the application reading the
// workbook is the sign that it has started.
class OpenWatch
{
public:
    explicit OpenWatch(const QString &file)
    {
#ifdef Q_OS_LINUX
        m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (m_fd >= 0 && inotify_add_watch(m_fd, QFile::encodeName(file).constData(), IN_OPEN) < 0) {
            ::close(m_fd);
            m_fd = -1;
        }
#else
        Q_UNUSED(file);
#endif
    }
    ~OpenWatch()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenWatch(const OpenWatch &) = delete;
    OpenWatch &operator=(const OpenWatch &) = delete;

    bool seen()
    {
        alignas(8) char events[1024];
        if (!m_seen && m_fd >= 0 && ::read(m_fd, events, sizeof events) > 0)
            m_seen = true;
        return m_seen;
    }

private:
    int m_fd = -1;
    bool m_seen = false;
};

} // namespace

LibreOfficeCalc::~LibreOfficeCalc()
{
    // A QProcess ends its program when it goes, and the application is the
    // user's to close: those still running are let go.
    for (std::unique_ptr<QProcess> &process : m_started) {
        if (process->state() != QProcess::NotRunning)
            (void)process.release();
    }
}

void LibreOfficeCalc::open(const QString &workbook, EventPump &pump)
{
    std::erase_if(m_started, [](const auto &process) { return process->state() == QProcess::NotRunning; });
    const QString program = command();
    if (program.isEmpty())
        throw Failure(QCoreApplication::translate("zentavo::LibreOfficeCalc",
                                                  "No spreadsheet application was found to open %1.")
                          .arg(workbook));

    auto owned = std::make_unique<QProcess>();
    QProcess &process = *owned;
    // Kept before anything can go wrong: letting go of it would end it.
    m_started.push_back(std::move(owned));
    process.setProgram(program);
    // -n: a new, untitled document made from the workbook, so the user is
    // asked where to keep it rather than saving over a temporary file.
    process.setArguments({QStringLiteral("-n"), workbook});
    // Nothing to read or write here: a pipe to this program would break
    // when it ends, and take the application with it.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
    process.setChildProcessModifier([] { ::setsid(); });
#endif
    OpenWatch opened(workbook);
    process.start();
    if (!process.waitForStarted(-1))
        throw Failure(QCoreApplication::translate("zentavo::LibreOfficeCalc",
                                                  "The spreadsheet application %1 could not be started: %2")
                          .arg(program, process.errorString()));

    QElapsedTimer waiting;
    waiting.start();
    while (process.state() != QProcess::NotRunning && !opened.seen() && waiting.elapsed() < m_patienceMs) {
        process.waitForFinished(10);
        pump.yield();
    }
    if (process.state() != QProcess::NotRunning || opened.seen())
        return;
    if (process.exitStatus() == QProcess::CrashExit)
        throw Failure(
            QCoreApplication::translate("zentavo::LibreOfficeCalc",
                                        "The spreadsheet application %1 stopped unexpectedly before it "
                                        "opened the workbook.")
                .arg(program));
    if (process.exitCode() != 0)
        throw Failure(
            QCoreApplication::translate("zentavo::LibreOfficeCalc",
                                        "The spreadsheet application %1 ended with exit code %2 before "
                                        "it opened the workbook.")
                .arg(program)
                .arg(process.exitCode()));
}

DesktopServices::DesktopServices()
    : m_random(std::make_unique<CryptoRandomSource>()), m_settings(std::make_unique<SettingsStore>()),
      m_workbooks(std::make_unique<WorkbookFolder>(WorkbookFolder::defaultBase()))
{
}

DesktopServices::~DesktopServices() = default;

Services DesktopServices::services()
{
    Services services;
    services.prompter = &m_prompter;
    services.random = m_random.get();
    services.settings = m_settings.get();
    services.browser = &m_browser;
    services.clock = &m_clock;
    services.homePage = QUrl(QStringLiteral(ZENTAVO_HOME_PAGE));
    services.programFolder = QCoreApplication::applicationDirPath();
    services.supportAddress = QStringLiteral(ZENTAVO_SUPPORT_ADDRESS);
    services.saveDialog = &m_saveDialog;
    services.clipboard = &m_clipboard;
    services.spreadsheet = &m_spreadsheet;
    services.workbooks = m_workbooks.get();
    services.printDialog = &m_printDialog;
    services.printJobs = &m_printJobs;
    return services;
}

} // namespace zentavo
