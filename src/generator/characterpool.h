#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <vector>

namespace zentavo {

class RandomSource;

// A password as it is built: one element per character, so that a character
// made of a surrogate pair is never split and counts once in lengths and
// positions.
using Password = std::u32string;

// The characters a password is drawn from, in the order given. Repeats are
// kept: a character that occurs twice is twice as likely to be drawn.
class CharacterPool
{
public:
    CharacterPool() = default;
    explicit CharacterPool(QStringView text);

    qsizetype size() const { return qsizetype(m_characters.size()); }
    bool isEmpty() const { return m_characters.empty(); }
    char32_t at(qsizetype index) const { return m_characters[std::size_t(index)]; }

private:
    std::vector<char32_t> m_characters;
};

// `count` characters drawn independently and uniformly from the pool; empty
// when the pool is empty or the count is below 1.
Password PickRandomCharacters(int count, const CharacterPool &pool, RandomSource &random);

// The password as text; a character outside the basic plane becomes its
// surrogate pair again.
QString toQString(const Password &password);

} // namespace zentavo
