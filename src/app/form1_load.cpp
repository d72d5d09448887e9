// Getting the main window ready before it is first shown.

#include "form1.h"

#include "apputil.h"

#include <QIcon>

// The icons are compiled into a static library, so their resource must be
// registered by hand before first use.
static void registerIcons()
{
    Q_INIT_RESOURCE(zentavo);
}

namespace zentavo {

QIcon programIcon()
{
    registerIcons();
    QIcon icon;
    for (const int size : {32, 48, 128, 256})
        icon.addFile(QStringLiteral(":/icons/zentavo-%1.png").arg(size), QSize(size, size));
    return icon;
}

void Form1::Form_Load()
{
    Procedure procedure(m_errorReport, QStringLiteral("in Quorvex2021/08/31.Form1.Form_Load "));
    procedure.step(126, [&] {
        setWindowTitle(kProductName);
        setWindowIcon(programIcon());
        m_applicationTitle = applicationTitleFor(kProductName);
    });
    procedure.step(128, [&] { m_results.addColumn(QStringLiteral("Result(s)")); });
    procedure.step(130, [&] { m_results.setColumnWidthTwips(0, 6000); });
    procedure.step(158, [&] { ClearList(); });
}

} // namespace zentavo
