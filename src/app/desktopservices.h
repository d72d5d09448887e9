#pragma once

#include "prompter.h"
#include "services.h"

#include <memory>

namespace zentavo {

class CryptoRandomSource;

// Message boxes as the desktop shows them.
class MessageBoxPrompter final : public Prompter
{
public:
    void message(Icon icon, const QString &title, const QString &text) override;
};

// The real outside world: message boxes, the system's random source, the
// executable's folder.
class DesktopServices
{
public:
    DesktopServices();
    ~DesktopServices();

    Services services();

private:
    MessageBoxPrompter m_prompter;
    std::unique_ptr<CryptoRandomSource> m_random;
};

} // namespace zentavo
