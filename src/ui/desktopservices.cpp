#include "ui/desktopservices.h"

#include "export/workbookfolder.h"
#include "generator/randomsource.h"
#include "core/config.h"
#include "core/failure.h"
#include "core/settingsstore.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFileDialog>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QStandardPaths>

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
    QFileDialog dialog(QApplication::activeWindow(),
                       QCoreApplication::translate("zentavo::FileSaveDialog", "Save"));
    // Where the user saved last in this run, else their home: never the
    // folder the program happened to be started in.
    dialog.setDirectory(m_folder.isEmpty() ? QDir::homePath() : m_folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({QCoreApplication::translate("zentavo::FileSaveDialog", "Text Files (*.txt)"),
                           QCoreApplication::translate("zentavo::FileSaveDialog", "All Files (*)")});
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString path = dialog.selectedFiles().value(0);
    if (!path.isEmpty())
        m_folder = QFileInfo(path).absolutePath();
    return path;
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
        throw Failure(QCoreApplication::translate("zentavo::LibreOfficeCalc",
                                                  "The spreadsheet application %1 could not be started.")
                          .arg(program.isEmpty()
                                   ? QCoreApplication::translate("zentavo::LibreOfficeCalc", "(none found)")
                                   : program));
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
