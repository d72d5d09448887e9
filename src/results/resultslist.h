#pragma once

#include "generator/passwordgenerator.h"

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <deque>
#include <memory>
#include <vector>

namespace zentavo {

class MemoryBudget;

// The generated passwords: the columns of the list and its rows, in the order
// they were appended. Each row is a password, with its line number when line
// numbers are shown, and a checked state the user can change; rows are
// appended checked.
//
// A million rows must not freeze the window, so the rows are stored compactly
// (all passwords end to end in large chunks, one byte a character where the
// row allows it, line numbers as runs of consecutive numbers, turned into
// text only for display) and the view is told about new rows in batches
// (publishRows()), not one at a time: rowCount() counts only the rows the
// view has been told about, while the exports read every stored row.
//
// Rows are added only while memory allows: with a budget set, a row that
// would need memory the budget does not have is refused with
// std::bad_alloc, as a failed allocation is, and the list stays as it was.
class ResultsList : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ResultsList(QObject *parent = nullptr);
    ~ResultsList() override;

    // Columns.
    int columnCount(const QModelIndex &parent = {}) const override;
    // The title files and the clipboard carry, the same in every language.
    QString columnTitle(int column) const;
    int columnWidthTwips(int column) const;
    // A column titled `title` in what is written out; the list's header shows
    // `shownTitle` instead when one is given (the title in the user's language).
    void addColumn(const QString &title, const QString &shownTitle = {});
    void setColumnWidthTwips(int column, int twips); // throws Failure for a missing column
    void removeAllColumns();

    // Rows as stored; what the exports read.
    qsizetype storedRowCount() const { return m_rowCount; }
    // The text of a cell (column 0 first); throws Failure when the row no
    // longer exists, as when the list was cleared during an export.
    QString cell(qsizetype row, int column) const;
    // The same text's length, and the text appended to `out`: the exports
    // read a million rows twice, and building a string for every cell would
    // cost more than writing the file.
    qsizetype cellLength(qsizetype row, int column) const;
    void appendCell(qsizetype row, int column, QString &out) const;
    bool isChecked(qsizetype row) const;
    void setChecked(qsizetype row, bool checked);

    // Appends a row: `lineNumber` 0 gives a row of the password alone, any
    // other number a row of the number and the password. Throws
    // std::bad_alloc, leaving the list as it was, when memory runs short.
    void appendRow(qint32 lineNumber, QStringView password);
    // Appends the batch's rows in order, each as appendRow() would. When
    // memory runs short it throws std::bad_alloc, keeping the rows before
    // the one that did not fit.
    void appendRows(const PasswordBatch &batch);
    // Removes every row and gives the memory they took back to the system;
    // the passwords' text is wiped first.
    void removeAllRows();

    // The memory the list may grow into. Without a budget the list grows
    // until an allocation fails.
    void setMemoryBudget(const MemoryBudget *budget);
    // The budget the list grows in, and that commands building something
    // from the list go by: the system's own when none was set.
    const MemoryBudget &memoryBudget() const;
    // About how much `count` more rows of `length` characters take when
    // each character takes `bytesPerCharacter` bytes of text (1 when the row
    // is Latin-1, 2 or 4 otherwise).
    static qint64 estimatedBytes(qint64 count, int length, int bytesPerCharacter);
    // The memory the stored rows take now.
    qint64 storedBytes() const;

    // Tells the view about every row stored so far: whoever appends calls it
    // between batches and when done.
    void publishRows();

    // The model seen by the view.
    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void columnWidthChanged(int column, int twips);

private:
    struct Column
    {
        QString title;
        QString shownTitle;
        int widthTwips;
    };

    // Rows are kept in pages of a fixed number: where each row's text ends
    // and whether it is 16-bit, and the rows' checked states as bits. A
    // run's rows mostly share one width; while every row of a page is
    // 8-bit text of the same width, that width says where each ends.
    static constexpr qsizetype kPageRows = 1024;
    struct Page
    {
        quint64 textStart; // where the page's first text starts in the chunks
        quint32 width = 0; // the bytes of every row, while `ends` is empty
        // The end of each row's text, counted from textStart; the top bit
        // marks 16-bit text. Only once the rows differ.
        std::unique_ptr<std::array<quint32, kPageRows>> ends;
        std::array<quint64, kPageRows / 64> checked;

        quint32 end(qsizetype at) const { return ends ? (*ends)[std::size_t(at)] : quint32(at + 1) * width; }
        // Sets the row's end, giving up the shared width when it differs.
        void setEnd(qsizetype at, quint32 end);
    };
    // A line number is stored once for a run of rows numbered one after
    // another; a run starting at 0 is of rows without a number.
    struct LineRun
    {
        qsizetype firstRow;
        qint32 firstLine;
    };
    // Where a row's text lies.
    struct TextSpan
    {
        quint64 start;
        qsizetype bytes;
        bool wide;
    };

    TextSpan textSpan(qsizetype row) const;
    qint32 lineNumber(qsizetype row) const;
    qsizetype passwordLength(qsizetype row) const;
    void appendPassword(qsizetype row, QString &out) const;
    void reserveText(quint64 end);
    Page &pageForNextRow();
    void startLineRun(qint32 lineNumber);
    void releaseText();
    void checkRow(qsizetype row) const;
    void checkColumn(int column) const;

    std::vector<Column> m_columns;
    // Growing the list never moves what it holds: copying tens of megabytes
    // at once would stall the window. Pages sit in a deque; the passwords'
    // text in chunks of equal size that are filled, never enlarged, and
    // taken from and given back to the system directly, so that clearing
    // the list returns its memory at once.
    std::deque<Page> m_pages;
    std::deque<LineRun> m_runs;
    std::vector<char *> m_chunks;
    quint64 m_textEnd = 0;
    qsizetype m_rowCount = 0;
    const MemoryBudget *m_budget = nullptr;
    qsizetype m_published = 0;
};

} // namespace zentavo
