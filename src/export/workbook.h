#pragma once

#include "export/rowwriter.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>
#include <vector>

struct lxw_workbook;
struct lxw_worksheet;

namespace zentavo {

class EventPump;
class Procedure;
class ResultsList;

// A workbook file of one sheet whose cells are all text: nothing typed into
// a cell is ever taken for a number, a date or a formula.
class Workbook
{
public:
    // The rows a sheet holds.
    static constexpr qsizetype kRowLimit = 1048576;

    // Starts the workbook at `path`. The library keeps rows in temporary files
    // until it saves; they go to `tempFolder`, as they hold the same secrets.
    // Throws Failure.
    Workbook(const QString &path, const QString &tempFolder);
    // A workbook never saved is discarded.
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // Rows must come in order, top to bottom. Throws Failure.
    void setText(qsizetype row, int column, QAnyStringView text);
    // Makes every column as wide as its longest text. Throws Failure.
    void fitColumns();
    // Writes the file. Throws Failure.
    void save();
    // The same, while the window goes on handling its events: packing a
    // million rows takes seconds. Throws Failure, or Abandoned once the
    // window was closed (after the file is complete).
    void save(EventPump &pump);

private:
    void checkRowFile() const;
    // The text as UTF-8 in m_utf8, ended by a NUL.
    void toUtf8(QAnyStringView text);

    QString m_path;
    QByteArray m_tempFolder;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    QStringEncoder m_encoder{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
    QByteArray m_utf8;
    std::vector<qsizetype> m_longest;
};

// The workbook format: "Results" in the first cell, the rows below it, each
// cell in its own sheet column and every one of them text, the columns as
// wide as their longest text. Saving is left to the caller.
class SheetWriter final : public RowWriter
{
public:
    // The rows a sheet holds below its title.
    static constexpr qsizetype kRows = Workbook::kRowLimit - 1;

    explicit SheetWriter(Workbook &workbook) : m_workbook(workbook) {}

    void begin() override;
    void row(Cells cells) override;
    void finish() override;

    // The title, the same in every language: programs read it.
    static QString title();

private:
    Workbook &m_workbook;
    qsizetype m_row = 0;
};

// Standard error closed to the workbook library while it lives: the library
// prints its own lines there before it returns the failure we report in our
// own words. One for a whole workbook, from its start to its saving.
class LibraryKeptQuiet
{
public:
    LibraryKeptQuiet();
    ~LibraryKeptQuiet();
    LibraryKeptQuiet(const LibraryKeptQuiet &) = delete;
    LibraryKeptQuiet &operator=(const LibraryKeptQuiet &) = delete;

private:
    int m_saved;
};

// The results in the open workbook as SheetWriter lays them out: every row
// of the list, ticked or not. Steps are reported under the spreadsheet
// command's line labels. A list longer than a sheet is reported once and its
// first rows are written; `rowLimit` is the sheet's size. Saving is left to
// the caller.
void writeResultsWorkbook(const ResultsList &list, Workbook &workbook, EventPump &pump, Procedure &procedure,
                          qsizetype rowLimit = Workbook::kRowLimit);

} // namespace zentavo
