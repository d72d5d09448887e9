#include "desktopservices.h"

#include "../generator/randomsource.h"
#include "config.h"
#include "settingsstore.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>

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

DesktopServices::DesktopServices()
    : m_random(std::make_unique<CryptoRandomSource>()), m_settings(std::make_unique<SettingsStore>())
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
    return services;
}

} // namespace zentavo
