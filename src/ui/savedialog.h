#pragma once

#include <QString>

namespace zentavo {

// What is about to be saved: the kind of file the dialog offers first.
enum class SaveKind { Text, SlipsPdf };

// Asks the user where to save the results.
class SaveDialog
{
public:
    virtual ~SaveDialog() = default;

    // The chosen path, or an empty text when the user cancelled.
    virtual QString askForPath(SaveKind kind) = 0;
    // As the text export asks.
    QString askForPath() { return askForPath(SaveKind::Text); }
};

} // namespace zentavo
