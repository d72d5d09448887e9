#include "export/workbook.h"

#include "core/errorreport.h"
#include "core/eventpump.h"
#include "core/failure.h"
#include "core/wipe.h"
#include "export/background.h"
#include "export/listrows.h"
#include "results/resultslist.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <xlsxwriter.h>

namespace zentavo {

static_assert(Workbook::kRowLimit == LXW_ROW_MAX);

namespace {

Failure workbookFailure(const QString &what, lxw_error error, int systemError = 0)
{
    // Where the library failed on a file, the system knows why ("No space
    // left on device"); its own text only says which step went wrong.
    const QString why = QString::fromUtf8(lxw_strerror(error));
    return Failure(systemError ? QStringLiteral("%1: %2 (%3)").arg(what, qt_error_string(systemError), why)
                               : QStringLiteral("%1: %2").arg(what, why));
}

// The file system of `folder` has no room left for anyone but root.
bool hasNoRoom(const QByteArray &folder)
{
    struct statvfs space = {};
    return ::statvfs(folder.constData(), &space) == 0 && (space.f_bavail == 0 || space.f_favail == 0);
}

// Column widths are in characters of the sheet's standard font; passwords
// mix wide and narrow letters, so a little more than one unit each.
double fittedWidth(qsizetype characters)
{
    return std::min(255.0, double(characters) * 1.2 + 1.0);
}

} // namespace

Workbook::Workbook(const QString &path, const QString &tempFolder)
    : m_path(path), m_tempFolder(QFile::encodeName(tempFolder))
{
    lxw_workbook_options options{};
    // Rows go to a temporary file as they come, so a million rows need no
    // more memory than a few.
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_tempFolder.data();
    m_workbook = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    if (m_workbook)
        m_sheet = workbook_add_worksheet(m_workbook, nullptr);
    if (!m_sheet) {
        if (m_workbook)
            lxw_workbook_free(m_workbook);
        m_workbook = nullptr;
        throw Failure(
            QCoreApplication::translate("zentavo::Workbook", "The workbook %1 could not be started.")
                .arg(QDir::toNativeSeparators(path)));
    }
}

Workbook::~Workbook()
{
    wipe(m_utf8);
    if (m_workbook)
        lxw_workbook_free(m_workbook);
}

void Workbook::setText(qsizetype row, int column, QAnyStringView text)
{
    if (!m_workbook)
        throw Failure(QCoreApplication::translate("zentavo::Workbook", "The workbook was already saved."));
    if (row < 0 || row >= kRowLimit || column < 0 || column >= LXW_COL_MAX)
        throw Failure(
            QCoreApplication::translate("zentavo::Workbook", "A sheet has no cell at row %1, column %2.")
                .arg(row + 1)
                .arg(column + 1));
    toUtf8(text);
    checkRowFile();
    // Always a string, never a formula: a password may start with "=".
    const lxw_error error =
        worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column), m_utf8.constData(), nullptr);
    if (error != LXW_NO_ERROR)
        throw workbookFailure(
            QCoreApplication::translate("zentavo::Workbook", "Cell %1 of row %2 could not be written")
                .arg(column + 1)
                .arg(row + 1),
            error);
    if (std::size_t(column) >= m_longest.size())
        m_longest.resize(std::size_t(column) + 1, 0);
    m_longest[std::size_t(column)] = std::max(m_longest[std::size_t(column)], text.size());
}

void Workbook::toUtf8(QAnyStringView text)
{
    // One buffer for every cell, grown without leaving a copy behind. At
    // most three bytes a UTF-16 unit, or two a Latin-1 character.
    const qsizetype required = text.size() * 3 + 1;
    reserveWiping(m_utf8, required);
    m_utf8.resize(required);
    char *const start = m_utf8.data();
    char *end = text.visit([&](auto view) {
        using View = decltype(view);
        if constexpr (std::is_same_v<View, QStringView>) {
            return m_encoder.appendToBuffer(start, view);
        } else if constexpr (std::is_same_v<View, QLatin1StringView>) {
            char *out = start;
            for (const char c : view) {
                const auto unit = uchar(c);
                if (unit < 0x80) {
                    *out++ = char(unit);
                } else {
                    *out++ = char(0xc0 | (unit >> 6));
                    *out++ = char(0x80 | (unit & 0x3f));
                }
            }
            return out;
        } else {
            return std::copy(view.begin(), view.end(), start);
        }
    });
    *end = '\0';
}

void Workbook::fitColumns()
{
    if (!m_workbook)
        throw Failure(QCoreApplication::translate("zentavo::Workbook", "The workbook was already saved."));
    for (std::size_t column = 0; column < m_longest.size(); ++column) {
        const lxw_error error = worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column),
                                                     fittedWidth(m_longest[column]), nullptr);
        if (error != LXW_NO_ERROR)
            throw workbookFailure(
                QCoreApplication::translate("zentavo::Workbook", "Column %1 could not be fitted")
                    .arg(column + 1),
                error);
    }
}

// The library writes the rows to a temporary file as they come and never
// looks at the outcome: on a full disk, or past a file size limit, it would
// go on and pack a workbook that silently lacks rows.
void Workbook::checkRowFile() const
{
    FILE *rows = m_sheet->optimize_tmpfile;
    if (!rows || !std::ferror(rows))
        return;
    // The buffered rows are tried once more, which names the cause afresh.
    errno = 0;
    std::fflush(rows);
    const int cause = errno ? errno : EIO;
    throw Failure(QStringLiteral("%1: %2").arg(
        QCoreApplication::translate("zentavo::Workbook",
                                    "The workbook %1 could not keep its rows in the temporary folder %2")
            .arg(QDir::toNativeSeparators(m_path), QDir::toNativeSeparators(QFile::decodeName(m_tempFolder))),
        qt_error_string(cause)));
}

void Workbook::save()
{
    if (!m_workbook)
        throw Failure(QCoreApplication::translate("zentavo::Workbook", "The workbook was already saved."));
    // The rows still buffered reach the file now, or the failure shows.
    if (m_sheet->optimize_tmpfile)
        std::fflush(m_sheet->optimize_tmpfile);
    checkRowFile();
    // workbook_close frees the workbook whatever the outcome.
    errno = 0;
    const lxw_error error = workbook_close(m_workbook);
    const int systemError = errno;
    m_workbook = nullptr;
    m_sheet = nullptr;
    const bool fileError = error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE ||
                           error == LXW_ERROR_READING_TMPFILE || error == LXW_ERROR_ZIP_FILE_OPERATION ||
                           error == LXW_ERROR_ZIP_FILE_ADD || error == LXW_ERROR_ZIP_CLOSE;
    if (error == LXW_NO_ERROR)
        return;
    // The library's own files in the temporary folder, or a full disk there,
    // are no fault of the destination's.
    const bool temporary =
        error == LXW_ERROR_CREATING_TMPFILE || error == LXW_ERROR_READING_TMPFILE ||
        (fileError && (systemError == ENOSPC || systemError == EDQUOT) && hasNoRoom(m_tempFolder));
    throw workbookFailure(
        temporary ? QCoreApplication::translate(
                        "zentavo::Workbook", "The workbook %1 could not be saved in the temporary folder %2")
                        .arg(QDir::toNativeSeparators(m_path),
                             QDir::toNativeSeparators(QFile::decodeName(m_tempFolder)))
                  : QCoreApplication::translate("zentavo::Workbook", "The workbook %1 could not be saved")
                        .arg(QDir::toNativeSeparators(m_path)),
        error, fileError ? systemError : 0);
}

void Workbook::save(EventPump &pump)
{
    runWhileYielding(pump, [this] { save(); });
}

void SheetWriter::begin()
{
    m_workbook.setText(0, 0, title());
}

void SheetWriter::row(Cells cells)
{
    ++m_row;
    for (std::size_t c = 0; c < cells.size(); ++c)
        m_workbook.setText(m_row, int(c), cells[c]);
}

void SheetWriter::finish()
{
    m_workbook.fitColumns();
}

QString SheetWriter::title()
{
    return QStringLiteral("Results");
}

LibraryKeptQuiet::LibraryKeptQuiet() : m_saved(::dup(STDERR_FILENO))
{
    const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere >= 0) {
        ::dup2(nowhere, STDERR_FILENO);
        ::close(nowhere);
    }
}

LibraryKeptQuiet::~LibraryKeptQuiet()
{
    if (m_saved >= 0) {
        ::dup2(m_saved, STDERR_FILENO);
        ::close(m_saved);
    }
}

void writeResultsWorkbook(const ResultsList &list, Workbook &workbook, EventPump &pump, Procedure &procedure,
                          qsizetype rowLimit)
{
    SheetWriter sheet(workbook);
    procedure.step(116, [&] { sheet.begin(); });

    qsizetype rows = list.storedRowCount();
    if (rows > rowLimit - 1) {
        // One report for the whole surplus, not one per row that does not fit.
        //: "Results" is the title the sheet's first cell holds; the workbook keeps it in every language.
        procedure.report(120, QCoreApplication::translate("zentavo::Workbook",
                                                          "The list has %L1 rows, but a sheet holds only %L2 "
                                                          "with its \"Results\" row: the workbook shows the "
                                                          "first %L3.")
                                  .arg(rows)
                                  .arg(rowLimit)
                                  .arg(rowLimit - 1));
        rows = rowLimit - 1;
    }

    // A failure here (the list rebuilt meanwhile, the workbook refusing a
    // cell) would repeat for every row that follows: it is reported once and
    // the rows written so far are shown.
    ListRows source(list);
    // Each step says whether it went through; the first that does not ends
    // the rows.
    const auto done = [&](int line, auto &&body) {
        bool went = false;
        procedure.step(line, [&] {
            body();
            went = true;
        });
        return went;
    };
    for (qsizetype r = 0; r < rows; ++r) {
        pump.yield();
        bool read = true;
        for (int c = 0; c < source.columns() && read; ++c)
            read = done(c == 0 ? 124 : 128, [&] { source.readCell(r, c); });
        if (!read || !done(124, [&] { sheet.row(source.cells()); }))
            break;
    }

    procedure.step(136, [&] { sheet.finish(); });
}

} // namespace zentavo
