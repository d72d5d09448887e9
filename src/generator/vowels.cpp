#include "generator/vowels.h"

namespace zentavo {

QString RemoveVowels(QStringView text)
{
    // Each character is compared by its upper-case form, so the lower-case
    // vowels go too (and so does the dotless i, whose capital is a plain I).
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        switch (c.toUpper().unicode()) {
        case u'A':
        case u'E':
        case u'I':
        case u'O':
        case u'U':
            break;
        default:
            result += c;
        }
    }
    return result;
}

} // namespace zentavo
