#include "results/resultslist.h"

#include "core/failure.h"

#include <algorithm>

namespace zentavo {

namespace {
// The default width a column is added with, in twips.
constexpr int kDefaultColumnWidth = 1440;
constexpr int kShortestPublishInterval = 30;
// Characters a chunk of password text holds (two bytes each).
constexpr std::size_t kChunkSize = 1 << 20;
} // namespace

ResultsList::ResultsList(QObject *parent)
    : QAbstractTableModel(parent), m_publishIntervalMs(kShortestPublishInterval)
{
    m_publishTimer.setSingleShot(true);
    connect(&m_publishTimer, &QTimer::timeout, this, &ResultsList::publishRows);
}

ResultsList::~ResultsList() = default;

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
        throw Failure(QStringLiteral("The list has no column %1.").arg(column + 1));
}

void ResultsList::addColumn(const QString &title)
{
    const int column = int(m_columns.size());
    beginInsertColumns({}, column, column);
    m_columns.push_back({title, kDefaultColumnWidth});
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

QStringView ResultsList::password(qsizetype row) const
{
    const Row &stored = m_rows[std::size_t(row)];
    return QStringView(m_chunks[stored.chunk].data() + stored.offset, qsizetype(stored.length));
}

void ResultsList::checkRow(qsizetype row) const
{
    if (row < 0 || row >= storedRowCount())
        throw Failure(QStringLiteral("Row %1 of the list no longer exists.").arg(row + 1));
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
    const qint32 line = m_rows[std::size_t(row)].lineNumber;
    if (line == 0)
        return column == 0 ? password(row).size() : 0;
    if (column == 0)
        return decimalLength(line);
    return column == 1 ? password(row).size() : 0;
}

void ResultsList::appendCell(qsizetype row, int column, QString &out) const
{
    checkRow(row);
    const qint32 line = m_rows[std::size_t(row)].lineNumber;
    if (line != 0 && column == 0) {
        char16_t digits[12];
        char16_t *end = digits + std::size(digits), *first = end;
        for (qint64 rest = qAbs(qint64(line)); first == end || rest > 0; rest /= 10)
            *--first = char16_t(u'0' + rest % 10);
        if (line < 0)
            *--first = u'-';
        out.append(QStringView(first, end));
    } else if (column == (line == 0 ? 0 : 1)) {
        out.append(password(row));
    }
}

bool ResultsList::isChecked(qsizetype row) const
{
    checkRow(row);
    return m_rows[std::size_t(row)].checked;
}

void ResultsList::setChecked(qsizetype row, bool checked)
{
    checkRow(row);
    m_rows[std::size_t(row)].checked = checked;
    if (row < m_published) {
        const QModelIndex first = index(int(row), 0);
        emit dataChanged(first, first, {Qt::CheckStateRole});
    }
}

void ResultsList::appendRow(qint32 lineNumber, QStringView password)
{
    const auto length = std::size_t(password.size());
    if (m_chunks.empty() || m_chunks.back().size() + length > m_chunks.back().capacity()) {
        m_chunks.emplace_back();
        m_chunks.back().reserve(std::max(kChunkSize, length));
    }
    auto &chunk = m_chunks.back();
    m_rows.push_back({quint32(m_chunks.size() - 1), quint32(chunk.size()), quint32(length), lineNumber, true});
    chunk.insert(chunk.end(), password.utf16(), password.utf16() + length);
    schedulePublish();
}

void ResultsList::removeAllRows()
{
    m_publishTimer.stop();
    beginResetModel();
    m_chunks.clear(); // released and wiped now
    decltype(m_rows)().swap(m_rows);
    m_published = 0;
    endResetModel();
}

void ResultsList::schedulePublish()
{
    if (!m_publishTimer.isActive())
        m_publishTimer.start(m_publishIntervalMs);
}

void ResultsList::publishRows()
{
    m_publishTimer.stop();
    const qsizetype stored = storedRowCount();
    if (stored == m_published)
        return;
    // A view re-lays out what it shows on every insertion; when that grows
    // costly, insert less often so the window stays responsive.
    QElapsedTimer cost;
    cost.start();
    beginInsertRows({}, int(m_published), int(stored - 1));
    m_published = stored;
    endInsertRows();
    m_publishIntervalMs = std::max<int>(kShortestPublishInterval, int(4 * cost.elapsed()));
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
        return m_rows[std::size_t(row)].checked ? Qt::Checked : Qt::Unchecked;
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
        return m_columns[std::size_t(section)].title;
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace zentavo
