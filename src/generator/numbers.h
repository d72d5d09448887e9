#pragma once

#include <QString>
#include <limits>
#include <optional>

namespace zentavo {

// The numeric fields hold whatever the user typed. These read them the way
// the rest of the program expects: locale-aware, blanks around the number
// allowed, and halves rounded to the even neighbour (2.5 -> 2, 3.5 -> 4).

// How a number is written: as typed into the window (the user's locale), or
// in plain digits alone, as scripts write a count or a length. Blanks
// around it are allowed either way.
enum class Notation { Typed, Digits };

// The number in the text, or nothing when it is not written in that
// notation. The empty text is not a number.
std::optional<double> parseNumber(const QString &text, Notation notation = Notation::Typed);

// Rounds half to even, as money and statistics people expect.
double roundHalfEven(double value);

// The text as a whole number in [minimum, maximum]; throws Failure with a
// description for the user when the text is no number or out of range.
qint64 toWholeNumber(const QString &text, qint64 minimum, qint64 maximum);

// The text as a number of the type, over the type's whole range.
template <typename Whole> Whole toWhole(const QString &text)
{
    return static_cast<Whole>(
        toWholeNumber(text, std::numeric_limits<Whole>::min(), std::numeric_limits<Whole>::max()));
}
inline qint32 toInt32(const QString &text)
{
    return toWhole<qint32>(text);
}
inline qint16 toInt16(const QString &text)
{
    return toWhole<qint16>(text);
}

// The value of the number the text begins with, read in the plain notation
// (blanks skipped, '.' as the decimal point, an optional exponent), 0 when
// the text does not begin with a number: "12abc" gives 12, "abc" gives 0.
double leadingNumber(const QString &text);

} // namespace zentavo
