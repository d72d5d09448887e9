// Getting the main window ready before it is first shown.

#include "ui/form1.h"

#include "core/apputil.h"
#include "core/prompter.h"
#include "core/settingsstore.h"
#include "export/rowwriter.h"
#include "generator/optiontable.h"
#include "ui/browser.h"
#include "ui/cursorfile.h"

#include "generator/randomsource.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
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
    procedure.step(100, [&] { applySkin(); });
    const QString handPointer = m_services.programFolder + QStringLiteral("/HAND-M.CUR");
    if (FileExists(handPointer))
        procedure.step(104, [&] { m_handCursor = loadCursorFile(handPointer); });
    procedure.step(106, [&] { OpenHomePageOccasionally(); });
    procedure.step(126, [&] {
        setWindowTitle(kProductName);
        setWindowIcon(programIcon());
        m_applicationTitle = applicationTitleFor(kProductName);
    });
    procedure.step(128, [&] { m_results.addColumn(columnTitle(Column::Password), tr("Result(s)")); });
    procedure.step(130, [&] { m_results.setColumnWidthTwips(0, 6000); });
    warnIfStoreUnusable();
    // The file is written once at most, and not at all when it already
    // holds every option as restored.
    m_restoredWrites.emplace();
    for (std::size_t i = 0; i < kOptionSettings.size(); ++i)
        procedure.step(132 + 2 * int(i), [&] { restoreOption(i); });
    const QList<std::pair<QString, QString>> restored = *std::exchange(m_restoredWrites, std::nullopt);
    if (!restored.isEmpty())
        writeSettings(restored);
    procedure.step(156, [&] { RenameAtLeast(); });
    procedure.step(158, [&] { ClearList(); });
}

void Form1::warnIfStoreUnusable()
{
    const QString why = m_services.settings->readError();
    if (why.isEmpty())
        return;
    // Said once: the options chosen from now on cannot be kept either.
    warnAboutStoreOnce(tr("Your stored options in \"%1\" cannot be used: %2.\n\n"
                          "Zentavo starts with its default options. The options you choose apply until you "
                          "close it, but they will not be remembered for its next start.")
                           .arg(m_services.settings->fileName(), why));
}

void Form1::applySkin()
{
    const QString skin = m_services.programFolder + QStringLiteral("/x/o.cjs");
    if (!QFileInfo(skin).isFile())
        return;
    // The window, its frames and its check boxes take the button colour,
    // looked up when they are painted; text fields keep theirs.
    setBackgroundRole(QPalette::Button);
    for (QWidget *control : findChildren<QWidget *>()) {
        if (qobject_cast<QGroupBox *>(control) || qobject_cast<QCheckBox *>(control)) {
            control->setBackgroundRole(QPalette::Button);
            control->setAutoFillBackground(true);
        }
    }
    QFile file(skin);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw Failure(tr("The skin %1 cannot be read: %2").arg(skin, file.errorString()));
    const QString styleSheet = QString::fromUtf8(file.readAll());
    if (file.error() != QFileDevice::NoError)
        throw Failure(tr("The skin %1 cannot be read: %2").arg(skin, file.errorString()));
    setStyleSheet(styleSheet);
}

void Form1::OpenHomePageOccasionally()
{
    // One start in a hundred.
    if (m_services.random->uniform(100) + 1 == 7)
        m_services.browser->open(m_services.homePage);
}

} // namespace zentavo
