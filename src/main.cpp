#include "core/config.h"
#include "ui/desktopservices.h"
#include "ui/form1.h"

#include "export/workbookfolder.h"
#include "ui/splash.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentavo"));
    QApplication::setDesktopFileName(QStringLiteral(ZENTAVO_APP_ID));
    QApplication::setWindowIcon(zentavo::programIcon());

    zentavo::WorkbookFolder::removeLeftovers(zentavo::WorkbookFolder::defaultBase());
    zentavo::DesktopServices desktop;
    zentavo::Form1 window(desktop.services());
    window.Form_Load();
    window.show();

    // The splash comes once the main window is up, which stays usable while
    // it shows. A splash that cannot be shown is no reason not to start.
    zentavo::Splash splash(desktop.services());
    QTimer::singleShot(0, &splash, [&splash] {
        try {
            splash.SplashShow();
        } catch (const std::exception &error) {
            qWarning("The splash window cannot be shown: %s", error.what());
        }
    });
    return app.exec();
}
