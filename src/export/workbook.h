#pragma once

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
    void setText(qsizetype row, int column, QStringView text);
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

    QString m_path;
    QByteArray m_tempFolder;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    QStringEncoder m_encoder{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
    QByteArray m_utf8;
    std::vector<qsizetype> m_longest;
};

// The results in the open workbook: "Results" in the first cell, and below it
// every row of the list, ticked or not, each list column in its own sheet
// column. Steps are reported under the spreadsheet command's line labels. A
// list longer than a sheet is reported once and its first rows are written;
// `rowLimit` is the sheet's size. Saving is left to the caller.
void writeResultsWorkbook(const ResultsList &list, Workbook &workbook, EventPump &pump, Procedure &procedure,
                          qsizetype rowLimit = Workbook::kRowLimit);

} // namespace zentavo
