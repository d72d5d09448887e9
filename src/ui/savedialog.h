#pragma once

#include <QString>

namespace zentavo {

// Asks the user where to save the results as text.
class SaveDialog
{
public:
    virtual ~SaveDialog() = default;

    // The chosen path, or an empty text when the user cancelled.
    virtual QString askForPath() = 0;
};

} // namespace zentavo
