#include "../export/workbookfolder.h"
#include "desktopservices.h"
#include "form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentavo"));
    QApplication::setWindowIcon(zentavo::programIcon());

    zentavo::WorkbookFolder::removeLeftovers(zentavo::WorkbookFolder::defaultBase());
    zentavo::DesktopServices desktop;
    zentavo::Form1 window(desktop.services());
    window.Form_Load();
    window.show();
    return app.exec();
}
