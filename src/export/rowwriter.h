#pragma once

#include <QAnyStringView>
#include <QStringList>
#include <initializer_list>
#include <span>

namespace zentavo {

// The columns passwords are written in. Their titles are the same in every
// language, since programs read them; only the list's header on screen is
// translated.
enum class Column { Line, Name, Password, Hash };

QString columnTitle(Column column);
QStringList columnTitles(std::initializer_list<Column> columns);

// One row's cells, left to right: views of ASCII held as UTF-8 (a password
// held a byte a character, a line number), Latin-1 or UTF-16 text. Passwords
// go out as they were made, without being widened on the way.
using Cells = std::span<const QAnyStringView>;

// Writes one output format. Both front ends feed it: the window from its
// results list, the command line from the generator as the rows are made.
// A writer that fails throws Failure (or what its sink throws); the front
// end decides what the user is told.
class RowWriter
{
public:
    virtual ~RowWriter() = default;
    // What comes before the rows: a title line or cell, or nothing.
    virtual void begin() = 0;
    // Every row has as many cells as the format has columns.
    virtual void row(Cells cells) = 0;
    // Rows of one cell each, `rows` ASCII texts of `width` bytes end to end
    // (the generator's passwords without line numbers). A writer that takes
    // them faster than a row at a time does; false: hand them to row().
    virtual bool asciiRows(const char *text, qsizetype rows, qsizetype width)
    {
        Q_UNUSED(text);
        Q_UNUSED(rows);
        Q_UNUSED(width);
        return false;
    }
    // Everything written has reached the output when this returns.
    virtual void finish() = 0;
};

// Appends a cell to a line being built.
void appendCell(QString &line, QAnyStringView cell);

// A line number as ASCII digits, without allocating.
class NumberText
{
public:
    QUtf8StringView operator()(qint32 number);

private:
    char m_digits[12];
};

} // namespace zentavo
