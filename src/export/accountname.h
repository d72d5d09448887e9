#pragma once

#include <QHash>
#include <QString>

namespace zentavo {

// What an account name may be, wherever a list of them comes from: checked
// one at a time, in the list's order, so that a name given twice is found.
//
// Refused are names a person reading a hand-out cannot see as they are (a
// format character such as a right-to-left override, a line or paragraph
// separator, a noncharacter, a blank at either end), names no system takes
// (a colon, a control character, more than kLongestName bytes of UTF-8),
// a name given before (also in another composition of the same letters),
// and, depending on where the names go, what the system taking them refuses.
class AccountNameCheck
{
public:
    static constexpr qsizetype kLongestName = 256; // bytes of UTF-8
    // The longest login name useradd and newusers take.
    static constexpr qsizetype kLongestUserName = 32; // bytes of UTF-8

    enum class Use {
        Lines,        // name:password lines (chpasswd)
        Spreadsheet,  // a file a spreadsheet may open: no name it takes for a formula
        UserDatabase, // /etc/passwd through newusers: a login name useradd takes
        Directory,    // an LDAP directory, whose uid matches without regard to case
    };

    explicit AccountNameCheck(Use use) : m_use(use) {}

    // Why `name`, found at `line` of its list, cannot be an account name, or
    // an empty text when it can (it is then remembered).
    QString refusal(const QString &name, qsizetype line);

private:
    QString loginRefusal(const QString &name) const;

    Use m_use;
    QHash<QString, qsizetype> m_lines; // each name taken, and its line
};

} // namespace zentavo
