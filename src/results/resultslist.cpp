#include "results/resultslist.h"

#include "core/failure.h"
#include "core/memorybudget.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <malloc.h>
#include <new>
#include <sodium.h>
#include <sys/mman.h>

namespace zentavo {

namespace {
// The default width a column is added with, in twips.
constexpr int kDefaultColumnWidth = 1440;
// The size of a chunk of password text, and the mark of 16-bit text.
constexpr quint64 kChunkBytes = quint64(1) << 20;
constexpr quint32 kWideText = quint32(1) << 31;
} // namespace

ResultsList::ResultsList(QObject *parent) : QAbstractTableModel(parent) {}

ResultsList::~ResultsList()
{
    releaseText();
}

int ResultsList::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QString ResultsList::columnTitle(int column) const
{
    checkColumn(column);
    return m_columns[std::size_t(column)].title;
}

int ResultsList::columnWidthTwips(int column) const
{
    checkColumn(column);
    return m_columns[std::size_t(column)].widthTwips;
}

void ResultsList::checkColumn(int column) const
{
    if (column < 0 || column >= int(m_columns.size()))
        throw Failure(QCoreApplication::translate("zentavo::ResultsList", "The list has no column %1.")
                          .arg(column + 1));
}

void ResultsList::addColumn(const QString &title, const QString &shownTitle)
{
    const int column = int(m_columns.size());
    beginInsertColumns({}, column, column);
    m_columns.push_back({title, shownTitle.isEmpty() ? title : shownTitle, kDefaultColumnWidth});
    endInsertColumns();
    emit columnWidthChanged(column, kDefaultColumnWidth);
}

void ResultsList::setColumnWidthTwips(int column, int twips)
{
    checkColumn(column);
    m_columns[std::size_t(column)].widthTwips = twips;
    emit columnWidthChanged(column, twips);
}

void ResultsList::removeAllColumns()
{
    if (m_columns.empty())
        return;
    beginRemoveColumns({}, 0, int(m_columns.size()) - 1);
    m_columns.clear();
    endRemoveColumns();
}

void ResultsList::checkRow(qsizetype row) const
{
    if (row < 0 || row >= storedRowCount())
        throw Failure(
            QCoreApplication::translate("zentavo::ResultsList", "Row %1 of the list no longer exists.")
                .arg(row + 1));
}

ResultsList::TextSpan ResultsList::textSpan(qsizetype row) const
{
    const Page &page = m_pages[std::size_t(row / kPageRows)];
    const qsizetype at = row % kPageRows;
    const quint32 end = page.end(at);
    const quint64 from = page.textStart + (at == 0 ? 0 : page.end(at - 1) & ~kWideText);
    const quint64 to = page.textStart + (end & ~kWideText);
    const bool wide = (end & kWideText) != 0;
    // 16-bit text starts on an even byte, so no character is cut by the
    // end of a chunk.
    const quint64 start = wide ? (from + 1) & ~quint64(1) : from;
    return {start, qsizetype(to - start), wide};
}

qint32 ResultsList::lineNumber(qsizetype row) const
{
    const auto run = std::upper_bound(m_runs.begin(), m_runs.end(), row,
                                      [](qsizetype r, const LineRun &each) { return r < each.firstRow; }) -
                     1;
    if (run->firstLine == 0)
        return 0;
    return qint32(run->firstLine + (row - run->firstRow));
}

qsizetype ResultsList::passwordLength(qsizetype row) const
{
    const TextSpan text = textSpan(row);
    return text.wide ? text.bytes / 2 : text.bytes;
}

void ResultsList::appendPassword(qsizetype row, QString &out) const
{
    TextSpan text = textSpan(row);
    // A text may run on from one chunk into the next.
    while (text.bytes > 0) {
        const char *at = m_chunks[std::size_t(text.start / kChunkBytes)] + text.start % kChunkBytes;
        const qsizetype piece =
            std::min<qsizetype>(text.bytes, qsizetype(kChunkBytes - text.start % kChunkBytes));
        if (text.wide)
            out.append(QStringView(reinterpret_cast<const char16_t *>(at), piece / 2));
        else
            out.append(QLatin1StringView(at, piece));
        text.start += quint64(piece);
        text.bytes -= piece;
    }
}

QString ResultsList::cell(qsizetype row, int column) const
{
    QString text;
    appendCell(row, column, text);
    return text;
}

namespace {

qsizetype decimalLength(qint32 number)
{
    qsizetype length = number < 0 ? 2 : 1;
    for (qint64 rest = qAbs(qint64(number)); rest >= 10; rest /= 10)
        ++length;
    return length;
}

} // namespace

qsizetype ResultsList::cellLength(qsizetype row, int column) const
{
    checkRow(row);
    const qint32 line = lineNumber(row);
    if (line == 0)
        return column == 0 ? passwordLength(row) : 0;
    if (column == 0)
        return decimalLength(line);
    return column == 1 ? passwordLength(row) : 0;
}

void ResultsList::appendCell(qsizetype row, int column, QString &out) const
{
    checkRow(row);
    const qint32 line = lineNumber(row);
    if (line != 0 && column == 0) {
        char16_t digits[12];
        char16_t *end = digits + std::size(digits), *first = end;
        for (qint64 rest = qAbs(qint64(line)); first == end || rest > 0; rest /= 10)
            *--first = char16_t(u'0' + rest % 10);
        if (line < 0)
            *--first = u'-';
        out.append(QStringView(first, end));
    } else if (column == (line == 0 ? 0 : 1)) {
        appendPassword(row, out);
    }
}

bool ResultsList::isChecked(qsizetype row) const
{
    checkRow(row);
    const Page &page = m_pages[std::size_t(row / kPageRows)];
    const qsizetype at = row % kPageRows;
    return (page.checked[std::size_t(at / 64)] >> (at % 64)) & 1;
}

void ResultsList::setChecked(qsizetype row, bool checked)
{
    checkRow(row);
    Page &page = m_pages[std::size_t(row / kPageRows)];
    const qsizetype at = row % kPageRows;
    const quint64 bit = quint64(1) << (at % 64);
    quint64 &word = page.checked[std::size_t(at / 64)];
    word = checked ? word | bit : word & ~bit;
    if (row < m_published) {
        const QModelIndex first = index(int(row), 0);
        emit dataChanged(first, first, {Qt::CheckStateRole});
    }
}

void ResultsList::Page::setEnd(qsizetype at, quint32 rowEnd)
{
    if (!ends) {
        if (at == 0 && rowEnd < kWideText) {
            width = rowEnd;
            return;
        }
        if (rowEnd == quint32(at + 1) * width)
            return;
        ends = std::make_unique<std::array<quint32, kPageRows>>();
        for (qsizetype k = 0; k < at; ++k)
            (*ends)[std::size_t(k)] = quint32(k + 1) * width;
    }
    (*ends)[std::size_t(at)] = rowEnd;
}

ResultsList::Page &ResultsList::pageForNextRow()
{
    if (qsizetype(m_pages.size()) <= m_rowCount / kPageRows) {
        m_pages.emplace_back();
        m_pages.back().textStart = m_textEnd;
        m_pages.back().checked.fill(0);
    }
    return m_pages.back();
}

void ResultsList::startLineRun(qint32 lineNumber)
{
    const bool continuesRun =
        !m_runs.empty() &&
        (m_runs.back().firstLine == 0
             ? lineNumber == 0
             : qint64(m_runs.back().firstLine) + (m_rowCount - m_runs.back().firstRow) == qint64(lineNumber));
    if (!continuesRun)
        m_runs.push_back({m_rowCount, lineNumber});
}

void ResultsList::appendRow(qint32 lineNumber, QStringView password)
{
    // Everything that may fail comes before the row is counted, so a row
    // that finds no memory leaves the list as it was.
    const bool wide =
        std::any_of(password.begin(), password.end(), [](QChar c) { return c.unicode() > 0xff; });
    const qsizetype at = m_rowCount % kPageRows;
    Page &page = pageForNextRow();
    const quint64 start = wide ? (m_textEnd + 1) & ~quint64(1) : m_textEnd;
    const quint64 end = start + quint64(password.size()) * (wide ? 2 : 1);
    if (end - page.textStart >= kWideText)
        throw Failure(QCoreApplication::translate("zentavo::ResultsList",
                                                  "The passwords are too long to be kept in the list."));
    reserveText(end);
    startLineRun(lineNumber);

    for (quint64 position = start; position < end;) {
        char *chunk = m_chunks[std::size_t(position / kChunkBytes)] + position % kChunkBytes;
        const quint64 piece = std::min(end - position, kChunkBytes - position % kChunkBytes);
        const qsizetype done = qsizetype(position - start);
        if (wide) {
            std::memcpy(chunk, reinterpret_cast<const char *>(password.utf16()) + done, piece);
        } else {
            for (quint64 k = 0; k < piece; ++k)
                chunk[k] = char(password[done + qsizetype(k)].unicode());
        }
        position += piece;
    }
    page.setEnd(at, quint32(end - page.textStart) | (wide ? kWideText : 0));
    page.checked[std::size_t(at / 64)] |= quint64(1) << (at % 64);
    m_textEnd = end;
    ++m_rowCount;
}

void ResultsList::appendRows(const PasswordBatch &batch)
{
    const qsizetype width = batch.unitsPerRow;
    qsizetype row = 0;
    if (!batch.isWide()) {
        // A byte a character: the rows go in a page at a time, their text
        // copied in one piece.
        while (row < batch.rows) {
            const qsizetype at = m_rowCount % kPageRows;
            Page &page = pageForNextRow();
            const qsizetype rows = std::min(batch.rows - row, kPageRows - at);
            const quint64 end = m_textEnd + quint64(rows * width);
            if (end - page.textStart >= kWideText)
                break; // too long for a page: row by row below, which says so
            try {
                reserveText(end);
            } catch (const std::bad_alloc &) {
                break; // row by row below, keeping those that fit
            }
            startLineRun(batch.lineNumber(row));
            const char *from = batch.bytes(row);
            for (quint64 position = m_textEnd; position < end;) {
                const quint64 piece = std::min(end - position, kChunkBytes - position % kChunkBytes);
                std::memcpy(m_chunks[std::size_t(position / kChunkBytes)] + position % kChunkBytes, from,
                            piece);
                from += piece;
                position += piece;
            }
            const quint64 offset = m_textEnd - page.textStart;
            for (qsizetype k = 0; k < rows; ++k)
                page.setEnd(at + k, quint32(offset + quint64((k + 1) * width)));
            for (qsizetype k = at; k < at + rows; ++k)
                page.checked[std::size_t(k / 64)] |= quint64(1) << (k % 64);
            m_textEnd = end;
            m_rowCount += rows;
            row += rows;
        }
        if (row == batch.rows)
            return;
    }
    QString text;
    for (; row < batch.rows; ++row) {
        if (batch.isWide()) {
            appendRow(batch.lineNumber(row), QStringView(batch.units(row), width));
        } else {
            text.resize(0);
            batch.appendPassword(row, text);
            appendRow(batch.lineNumber(row), text);
        }
    }
    sodium_memzero(text.data(), std::size_t(text.size()) * sizeof(QChar));
}

void ResultsList::reserveText(quint64 end)
{
    while (quint64(m_chunks.size()) * kChunkBytes < end) {
        if (m_budget && m_budget->usable() < qint64(kChunkBytes))
            throw std::bad_alloc();
        m_chunks.reserve(m_chunks.size() + 1);
        // Every page of a chunk is written soon: taking them all in one go
        // costs far less than a fault for each.
        void *chunk = mmap(nullptr, kChunkBytes, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (chunk == MAP_FAILED)
            throw std::bad_alloc();
        madvise(chunk, kChunkBytes, MADV_DONTDUMP); // passwords stay out of core dumps
        m_chunks.push_back(static_cast<char *>(chunk));
    }
}

void ResultsList::releaseText()
{
    for (std::size_t c = 0; c < m_chunks.size(); ++c) {
        const quint64 first = c * kChunkBytes;
        if (m_textEnd > first)
            sodium_memzero(m_chunks[c], std::min(kChunkBytes, m_textEnd - first));
        munmap(m_chunks[c], kChunkBytes);
    }
    m_chunks.clear();
    m_chunks.shrink_to_fit();
    m_textEnd = 0;
}

void ResultsList::removeAllRows()
{
    beginResetModel();
    releaseText(); // wiped and given back now
    decltype(m_pages)().swap(m_pages);
    decltype(m_runs)().swap(m_runs);
    m_rowCount = 0;
    m_published = 0;
    endResetModel();
    // The pages were small blocks of the heap; hand the pages they freed
    // back to the system too.
    malloc_trim(0);
}

void ResultsList::setMemoryBudget(const MemoryBudget *budget)
{
    m_budget = budget;
}

const MemoryBudget &ResultsList::memoryBudget() const
{
    return m_budget ? *m_budget : systemMemoryBudget();
}

qint64 ResultsList::estimatedBytes(qint64 count, int length, int bytesPerCharacter)
{
    // Rows of Latin-1 text of one width take their text alone: the page
    // says where each ends. Wider text keeps each row's end (and may need a
    // byte to start on an even one). Each page of rows has its header, and
    // the last chunk of text may be partly used.
    const bool wide = bytesPerCharacter > 1;
    const qint64 perRow = qint64(std::max(length, 0)) * bytesPerCharacter + (wide ? 1 : 0);
    const qint64 pages = (count + kPageRows - 1) / kPageRows;
    const qint64 perPage = qint64(sizeof(Page)) + (wide ? qint64(sizeof(quint32)) * kPageRows : 0);
    return count * perRow + pages * perPage + qint64(kChunkBytes);
}

qint64 ResultsList::storedBytes() const
{
    qint64 ends = 0;
    for (const Page &page : m_pages)
        ends += page.ends ? qint64(sizeof(*page.ends)) : 0;
    return qint64(m_chunks.size() * kChunkBytes + m_chunks.capacity() * sizeof(char *) +
                  m_pages.size() * sizeof(Page) + m_runs.size() * sizeof(LineRun)) +
           ends;
}

void ResultsList::publishRows()
{
    const qsizetype stored = storedRowCount();
    if (stored == m_published)
        return;
    beginInsertRows({}, int(m_published), int(stored - 1));
    m_published = stored;
    endInsertRows();
}

int ResultsList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_published);
}

QVariant ResultsList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_published)
        return {};
    const qsizetype row = index.row();
    if (role == Qt::DisplayRole)
        return cell(row, index.column());
    if (role == Qt::CheckStateRole && index.column() == 0)
        return isChecked(row) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ResultsList::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole || index.row() >= m_published)
        return false;
    setChecked(index.row(), value.value<Qt::CheckState>() == Qt::Checked);
    return true;
}

Qt::ItemFlags ResultsList::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == 0)
        flags |= Qt::ItemIsUserCheckable;
    return flags;
}

QVariant ResultsList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < int(m_columns.size()))
        return m_columns[std::size_t(section)].shownTitle;
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace zentavo
