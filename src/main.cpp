#include "core/config.h"
#include "ui/desktopservices.h"
#include "ui/form1.h"
#include "ui/sessionend.h"

#include "export/workbookfolder.h"
#include "hardening/hardening.h"
#include "ui/splash.h"
#include "ui/translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>
#include <optional>

namespace {

// Options QApplication reads and takes out of the command line itself.
const char *const kQtOptionsWithValue[] = {"platform",
                                           "platformpluginpath",
                                           "platformtheme",
                                           "plugin",
                                           "qwindowgeometry",
                                           "geometry",
                                           "qwindowtitle",
                                           "title",
                                           "qwindowicon",
                                           "icon",
                                           "display",
                                           "session",
                                           "style",
                                           "stylesheet",
                                           "name"};
const char *const kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "sync", "testability"};

// Answers --help and --version, and refuses what it does not know, before
// any window system is reached: both work without a display. Returns the
// exit status when the program should end here.
std::optional<int> answerCommandLine(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const zentavo::Translations translations;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Makes batches of random passwords."));
    // Qt's own options are written with one dash, as -style fusion.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const char *name : kQtOptionsWithValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : kQtFlags) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    const bool understood = parser.parse(QCoreApplication::arguments());
    if (understood && (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))))
        parser.showHelp(0);
    if (understood && parser.isSet(version))
        parser.showVersion();
    QString error = understood ? QString() : parser.errorText();
    if (understood && !parser.positionalArguments().isEmpty())
        error = QCoreApplication::translate("main", "Unexpected argument '%1'.")
                    .arg(parser.positionalArguments().constFirst());
    if (error.isEmpty())
        return std::nullopt;
    std::fprintf(stderr, "%s: %s\n%s\n", qPrintable(QCoreApplication::applicationName().toLower()),
                 qPrintable(error),
                 qPrintable(QCoreApplication::translate("main", "Try '--help' for the options.")));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    zentavo::hardenProcess();
    const std::string unwiped = zentavo::unwipedMemoryNotice();
    if (!unwiped.empty())
        std::fprintf(stderr, "zentavo: %s\n", unwiped.c_str());
    QCoreApplication::setApplicationName(QStringLiteral("Zentavo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZENTAVO_VERSION));
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;

    zentavo::SessionEnd sessionEnd;
    QApplication app(argc, argv);
    // In the language the system asks for (LANGUAGE, LC_ALL, LC_MESSAGES, LANG).
    const zentavo::Translations translations;
    QApplication::setDesktopFileName(QStringLiteral(ZENTAVO_APP_ID));
    QApplication::setWindowIcon(zentavo::programIcon());

    zentavo::WorkbookFolder::removeLeftovers(zentavo::WorkbookFolder::defaultBase());
    zentavo::DesktopServices desktop;
    zentavo::Form1 window(desktop.services());
    desktop.setMainWindow(&window);
    sessionEnd.closes(window);
    window.Form_Load();
    // A session that ends while a box of the loading is up closes the window
    // before it was ever shown: there is nothing left to show.
    if (window.isClosed())
        return 0;
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
