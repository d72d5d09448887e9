#pragma once

#include <QString>
#include <QStringView>

namespace zentavo {

// The text without the letters A, E, I, O and U in either case; every other
// character (y, digits, blanks, accented letters) stays, in its order. A
// character counts as a vowel when its upper-case form is one of the five.
QString RemoveVowels(QStringView text);

} // namespace zentavo
