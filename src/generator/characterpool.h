#pragma once

#include <QString>
#include <QStringView>
#include <vector>

namespace zentavo {

// The characters a password is drawn from, in the order given, one element
// per character, so that a character made of a surrogate pair is never split
// and counts once. Repeats are kept: a character that occurs twice is twice
// as likely to be drawn.
class CharacterPool
{
public:
    CharacterPool() = default;
    explicit CharacterPool(QStringView text);

    qsizetype size() const { return qsizetype(m_characters.size()); }
    bool isEmpty() const { return m_characters.empty(); }
    char32_t at(qsizetype index) const { return m_characters[std::size_t(index)]; }
    // The largest character, 0 for an empty pool: whether the passwords fit
    // in a byte a character, or in one UTF-16 unit.
    char32_t widest() const { return m_widest; }

private:
    std::vector<char32_t> m_characters;
    char32_t m_widest = 0;
};

} // namespace zentavo
