#include "generator/characterpool.h"

#include <algorithm>

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
    if (!m_characters.empty())
        m_widest = *std::max_element(m_characters.begin(), m_characters.end());
}

} // namespace zentavo
