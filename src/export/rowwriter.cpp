#include "export/rowwriter.h"

#include "core/wipe.h"

#include <algorithm>

namespace zentavo {

QString columnTitle(Column column)
{
    switch (column) {
    case Column::Line:
        return QStringLiteral("Line");
    case Column::Name:
        return QStringLiteral("Name");
    case Column::Password:
        return QStringLiteral("Result(s)");
    case Column::Hash:
        return QStringLiteral("Hash");
    }
    Q_UNREACHABLE();
}

QStringList columnTitles(std::initializer_list<Column> columns)
{
    QStringList titles;
    for (const Column column : columns)
        titles << columnTitle(column);
    return titles;
}

void appendCell(QString &line, QAnyStringView cell)
{
    cell.visit([&line](auto view) {
        if constexpr (std::is_same_v<decltype(view), QUtf8StringView>) {
            if (std::all_of(view.begin(), view.end(), [](char c) { return uchar(c) < 0x80; })) {
                line.append(QLatin1StringView(view.data(), view.size()));
                return;
            }
            QString wide = QString::fromUtf8(view.data(), view.size());
            line.append(wide);
            wipe(wide);
        } else {
            line.append(view);
        }
    });
}

QUtf8StringView NumberText::operator()(qint32 number)
{
    char *const end = m_digits + sizeof m_digits;
    char *p = end;
    auto value = quint32(number);
    do {
        *--p = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return {p, end};
}

} // namespace zentavo
