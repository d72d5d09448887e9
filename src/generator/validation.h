#pragma once

#include "generator/numbers.h"
#include "generator/optiontable.h"

#include <QString>
#include <optional>

namespace zentavo {

// The gate a count or a length passes in the window and on the command line
// alike: a number that, rounded half to even, is at least 1 and at most the
// option's maximum. Each front end words the faults its own way.
struct NumberCheck
{
    enum class Fault { None, NotANumber, BelowOne, AboveMaximum };
    Fault fault = Fault::None;
    qint64 value = 0; // the number, when it passes

    bool passes() const { return fault == Fault::None; }
};
NumberCheck checkNumber(const QString &text, const OptionSetting &option,
                        Notation notation = Notation::Typed);

// Checks the text of a numeric field as the user leaves it. Returns the
// warning to show, or nothing when the text passes. The text itself is never
// changed, so " 7 " passes and keeps its blanks.
std::optional<QString> numberFieldWarning(const QString &text, const OptionSetting &option,
                                          const QString &tooLarge);

} // namespace zentavo
