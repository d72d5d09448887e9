#pragma once

#include <QString>
#include <optional>

namespace zentavo {

// The numeric fields hold whatever the user typed. These read them the way
// the rest of the program expects: locale-aware, blanks around the number
// allowed, and halves rounded to the even neighbour (2.5 -> 2, 3.5 -> 4).

// The number in the text, or nothing when the locale's number parser rejects
// it. The empty text is not a number.
std::optional<double> parseNumber(const QString &text);

// Rounds half to even, as money and statistics people expect.
double roundHalfEven(double value);

// The text as a whole number in [minimum, maximum]; throws Failure with a
// description for the user when the text is no number or out of range.
qint64 toWholeNumber(const QString &text, qint64 minimum, qint64 maximum);

inline qint32 toInt32(const QString &text)
{
    return static_cast<qint32>(toWholeNumber(text, -2147483648LL, 2147483647LL));
}
inline qint16 toInt16(const QString &text)
{
    return static_cast<qint16>(toWholeNumber(text, -32768, 32767));
}

// The value of the number the text begins with, read in the plain notation
// (blanks skipped, '.' as the decimal point, an optional exponent), 0 when
// the text does not begin with a number: "12abc" gives 12, "abc" gives 0.
double leadingNumber(const QString &text);

} // namespace zentavo
