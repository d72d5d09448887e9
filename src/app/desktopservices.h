#pragma once

#include "browser.h"
#include "clock.h"
#include "prompter.h"
#include "services.h"

#include <memory>

namespace zentavo {

class CryptoRandomSource;
class SettingsStore;

// Message boxes as the desktop shows them.
class MessageBoxPrompter final : public Prompter
{
public:
    void message(Icon icon, const QString &title, const QString &text) override;
};

class DesktopBrowser final : public Browser
{
public:
    void open(const QUrl &address) override;
};

// The real outside world: message boxes, the system's random source and
// clock, the user's settings, the browser, the executable's folder.
class DesktopServices
{
public:
    DesktopServices();
    ~DesktopServices();

    Services services();

private:
    MessageBoxPrompter m_prompter;
    DesktopBrowser m_browser;
    SystemClock m_clock;
    std::unique_ptr<CryptoRandomSource> m_random;
    std::unique_ptr<SettingsStore> m_settings;
};

} // namespace zentavo
