#include "generator/characterpool.h"

#include "generator/randomsource.h"

namespace zentavo {

CharacterPool::CharacterPool(QStringView text)
{
    m_characters.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            m_characters.push_back(QChar::surrogateToUcs4(unit, text[i + 1]));
            ++i;
        } else {
            // A lone surrogate stays one character, as typed.
            m_characters.push_back(unit.unicode());
        }
    }
}

Password PickRandomCharacters(int count, const CharacterPool &pool, RandomSource &random)
{
    Password result;
    if (count < 1 || pool.isEmpty())
        return result;
    result.reserve(std::size_t(count));
    const auto n = quint32(pool.size());
    for (int k = 0; k < count; ++k)
        result.push_back(pool.at(random.uniform(n)));
    return result;
}

QString toQString(const Password &password)
{
    // Written in place: appending character by character costs more than
    // drawing them for a run of millions.
    qsizetype units = qsizetype(password.size());
    for (const char32_t c : password)
        units += c > 0xFFFF ? 1 : 0;
    QString text(units, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    for (const char32_t c : password) {
        if (c > 0xFFFF) {
            *out++ = QChar::highSurrogate(c);
            *out++ = QChar::lowSurrogate(c);
        } else {
            *out++ = char16_t(c);
        }
    }
    return text;
}

} // namespace zentavo
