#pragma once

#include <QString>

namespace zentavo {

// Every message box the program shows goes through this, so that tests can
// see exactly what the user would have been told.
class Prompter
{
public:
    enum class Icon { None, Warning };

    virtual ~Prompter() = default;

    // A modal box with a single OK button; returns when the user has closed it.
    virtual void message(Icon icon, const QString &title, const QString &text) = 0;
};

} // namespace zentavo
