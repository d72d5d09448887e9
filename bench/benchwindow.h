#pragma once

// Helpers for the benchmarks that run the real window.

#include "benchsupport.h"
#include "core/clock.h"
#include "core/settingsstore.h"
#include "generator/randomsource.h"
#include "ui/browser.h"
#include "ui/services.h"

#include <QTemporaryDir>

namespace zentavo::bench {

class NoBrowser : public Browser
{
public:
    void open(const QUrl &) override {}
};

// What a main window needs to run quietly in a benchmark: settings in a
// folder of its own, boxes that close themselves, the real random source.
struct QuietWorld
{
    QTemporaryDir folder;
    SettingsStore settings{folder.filePath(QStringLiteral("Zentavo.ini"))};
    SilentPrompter prompter;
    CryptoRandomSource random;
    NoBrowser browser;
    SystemClock clock;

    Services services()
    {
        Services services;
        services.prompter = &prompter;
        services.random = &random;
        services.settings = &settings;
        services.browser = &browser;
        services.clock = &clock;
        services.programFolder = folder.path();
        return services;
    }
};

} // namespace zentavo::bench
