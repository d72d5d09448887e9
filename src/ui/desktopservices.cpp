#include "ui/desktopservices.h"

#include "export/workbookfolder.h"
#include "generator/randomsource.h"
#include "core/config.h"
#include "core/failure.h"
#include "core/settingsstore.h"
#include "core/wipe.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>

namespace zentavo {

void MessageBoxPrompter::message(Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, QString(),
                    QMessageBox::Ok, QApplication::activeWindow());
    // Our messages mark line ends the classic way (CR LF, or CR alone); a
    // label breaks lines only at LF. Plain text, so nothing typed by the user
    // is ever read as markup.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

void DesktopBrowser::open(const QUrl &address)
{
    QDesktopServices::openUrl(address);
}

QString FileSaveDialog::askForPath()
{
    QFileDialog dialog(QApplication::activeWindow(), QStringLiteral("Save"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")});
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
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
class SecretMimeData final : public QMimeData
{
public:
    SecretMimeData(const QString &text, const QString &format)
        : m_format(format.isEmpty() ? QStringLiteral("text/plain") : format)
    {
        QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        m_utf8.resize(encoder.requiredSpace(text.size()));
        m_utf8.truncate(encoder.appendToBuffer(m_utf8.data(), text) - m_utf8.constData());
    }
    ~SecretMimeData() override { wipe(m_utf8); }

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

} // namespace

bool SystemClipboard::setText(const QString &text, const QString &format)
{
    auto *data = new SecretMimeData(text, format);
    data->setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
    QClipboard *clipboard = QGuiApplication::clipboard();
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
    for (const char *name : {"localc", "soffice", "libreoffice"}) {
        const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!found.isEmpty())
            return found;
    }
    return {};
}

bool LibreOfficeCalc::isInstalled()
{
    return !command().isEmpty();
}

void LibreOfficeCalc::open(const QString &workbook)
{
    const QString program = command();
    // -n: a new, untitled document made from the workbook, so the user is
    // asked where to keep it rather than saving over a temporary file.
    if (program.isEmpty() || !QProcess::startDetached(program, {QStringLiteral("-n"), workbook}))
        throw Failure(QStringLiteral("The spreadsheet application %1 could not be started.")
                          .arg(program.isEmpty() ? QStringLiteral("(none found)") : program));
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
    return services;
}

} // namespace zentavo
