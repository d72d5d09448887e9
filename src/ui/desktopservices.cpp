#include "ui/desktopservices.h"

#include "export/workbookfolder.h"
#include "generator/randomsource.h"
#include "core/config.h"
#include "core/failure.h"
#include "core/settingsstore.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>

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
        const auto *widget = qobject_cast<QWidget *>(watched);
        if (!widget || widget->window() == m_box)
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
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, QString(),
                    QMessageBox::Ok, QApplication::activeWindow());
    // Our messages mark line ends the classic way (CR LF, or CR alone); a
    // label breaks lines only at LF. Plain text, so nothing typed by the user
    // is ever read as markup.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setTextFormat(Qt::PlainText);
    box.setText(shown);
    box.setWindowModality(Qt::NonModal);
    const InputOnlyFor onlyTheBox(&box);
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

bool SystemClipboard::setText(const QString &text, const QString &format)
{
    auto *data = new QMimeData;
    if (format.isEmpty())
        data->setText(text);
    else
        data->setData(format, text.toUtf8());
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
