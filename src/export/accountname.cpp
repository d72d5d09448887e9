#include "export/accountname.h"

#include <QCoreApplication>
#include <algorithm>

namespace zentavo {

namespace {

QString codePoint(char32_t character)
{
    return QStringLiteral("U+") + QString::number(uint(character), 16).toUpper().rightJustified(4, u'0');
}

// Why a name holding `character` cannot be read as it is, or empty.
QString unreadable(char32_t character)
{
    switch (QChar::category(character)) {
    case QChar::Other_Control:
        return QCoreApplication::translate("zentavo::AccountName", "the name holds a control character");
    case QChar::Other_Format:
        return QCoreApplication::translate("zentavo::AccountName",
                                           "the name holds an invisible format character (%1)")
            .arg(codePoint(character));
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return QCoreApplication::translate("zentavo::AccountName",
                                           "the name holds a line or paragraph separator (%1)")
            .arg(codePoint(character));
    default:
        if (QChar::isNonCharacter(character))
            return QCoreApplication::translate("zentavo::AccountName", "the name holds a noncharacter (%1)")
                .arg(codePoint(character));
        return {};
    }
}

} // namespace

// What useradd and newusers refuse (a leading -, + or ~, a comma, a blank,
// more than 32 bytes), and what would make the account's home or owner
// something else: a slash in the name or the name . or .. would put the home
// elsewhere than below /home, and a name of digits alone reads as a user ID
// to chown and the like.
QString AccountNameCheck::loginRefusal(const QString &name) const
{
    if (name.toUtf8().size() > kLongestUserName)
        return QCoreApplication::translate("zentavo::AccountName",
                                           "\"%1\" is longer than the %2 bytes of a login name")
            .arg(name)
            .arg(kLongestUserName);
    if (QStringLiteral("-+~").contains(name.front()))
        return QCoreApplication::translate("zentavo::AccountName",
                                           "\"%1\" starts with %2, which useradd refuses in a login name")
            .arg(name, name.front());
    for (const QChar c : name) {
        if (c == u',' || c == u'/' || c.isSpace())
            return QCoreApplication::translate("zentavo::AccountName",
                                               "\"%1\" holds \"%2\", which a login name cannot hold")
                .arg(name, c);
    }
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return QCoreApplication::translate("zentavo::AccountName",
                                           "\"%1\" would make the home folder /home/%1")
            .arg(name);
    if (std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return QCoreApplication::translate("zentavo::AccountName",
                                           "\"%1\" is all digits, which reads as a user ID")
            .arg(name);
    return {};
}

QString AccountNameCheck::refusal(const QString &name, qsizetype line)
{
    // Long names are not shown back: the first check needs none of them.
    if (name.toUtf8().size() > kLongestName)
        return QCoreApplication::translate("zentavo::AccountName", "the name is longer than %1 bytes")
            .arg(kLongestName);
    const QList<uint> characters = name.toUcs4();
    for (const uint character : characters) {
        QString why = unreadable(character);
        if (!why.isEmpty())
            return why;
    }
    if (characters.isEmpty() || QChar::isSpace(characters.first()) || QChar::isSpace(characters.last()))
        return QCoreApplication::translate("zentavo::AccountName", "the name starts or ends with a blank");
    if (name.contains(QLatin1Char(':')))
        return QCoreApplication::translate("zentavo::AccountName",
                                           "\"%1\" holds a colon, which separates name and password")
            .arg(name);
    if (m_use == Use::UserDatabase) {
        QString why = loginRefusal(name);
        if (!why.isEmpty())
            return why;
    }
    if (m_use == Use::Spreadsheet && QStringLiteral("=+-@").contains(name.front()))
        return QCoreApplication::translate("zentavo::AccountName",
                                           "\"%1\" starts with %2, which makes a spreadsheet take it for a "
                                           "formula: an account name has no reason to start so")
            .arg(name, name.front());
    // Two compositions of the same letters look alike and are one name to
    // whoever reads them.
    // A directory's uid matches without regard to case: Anna is anna there.
    QString key = name.normalized(QString::NormalizationForm_C);
    if (m_use == Use::Directory)
        key = key.toCaseFolded();
    const auto first = m_lines.constFind(key);
    if (first != m_lines.cend())
        return QCoreApplication::translate("zentavo::AccountName", "\"%1\" is given twice, first on line %2")
            .arg(name)
            .arg(*first);
    m_lines.insert(key, line);
    return {};
}

} // namespace zentavo
