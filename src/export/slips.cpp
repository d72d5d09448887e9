#include "export/slips.h"

#include "core/failure.h"
#include "core/wipe.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <cairo-pdf.h>
#include <cstring>
#include <exception>
#include <pango/pangocairo.h>
#include <qrencode.h>
#include <vector>

namespace zentavo {

namespace {

// One column of ten slips a page: each slip is a strip the width of the
// page, wide enough for a long password on one line in a large typeface,
// and a page of text reads back slip by slip.
constexpr int kSlipsPerPage = 10;
// Printers leave the page's edge unprinted; the cut marks stay inside.
constexpr double kMargin = 36;
constexpr double kFooterHeight = 16;
constexpr double kPadding = 8;
constexpr double kLabelSize = 9;
constexpr double kNoteSize = 8;
constexpr double kFooterSize = 7;
constexpr int kNoteLines = 2;
// The password's sizes, largest first: the largest that holds it is used.
constexpr std::array kPasswordSizes{18.0, 16.0, 14.0, 12.0, 10.0, 9.0};
constexpr int kGroup = 4;
// The QR code's side is the slip's height; beyond this version its modules
// grow too small to be read from paper reliably.
constexpr int kLargestQrVersion = 6;
// How a space in a password is shown: OPEN BOX, which DejaVu Sans Mono has.
constexpr QChar kSpaceMark(u'\u2423');
const char *const kTextFont = "DejaVu Sans";
const char *const kPasswordFont = "DejaVu Sans Mono";

struct PageSize
{
    double width;
    double height;
};

PageSize pageSize(Paper paper)
{
    if (paper == Paper::Letter)
        return {612, 792};
    return {595.276, 841.890}; // 210 x 297 mm
}

// Where the parts of a slip sit, in points, for one paper.
struct SlipFrame
{
    explicit SlipFrame(const SlipOptions &options)
    {
        const PageSize page = pageSize(options.paper);
        width = page.width - 2 * kMargin;
        height = (page.height - 2 * kMargin - kFooterHeight) / kSlipsPerPage;
        contentHeight = height - 2 * kPadding;
        qrSide = options.qr ? contentHeight : 0;
        textWidth = width - 2 * kPadding - (options.qr ? qrSide + kPadding : 0);
    }
    double width;
    double height;
    double contentHeight;
    double qrSide;
    double textWidth;
};

// Pango objects freed with their own function.
struct GObjectFree
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
using Layout = std::unique_ptr<PangoLayout, GObjectFree>;

// Lays out text the same way for measuring and for drawing: sizes in
// points, no hinting, so a measure taken before the pages is the one drawn.
class Typesetter
{
public:
    Typesetter() : m_context(pango_font_map_create_context(pango_cairo_font_map_get_default()))
    {
        cairo_font_options_t *fontOptions = cairo_font_options_create();
        cairo_font_options_set_hint_metrics(fontOptions, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_hint_style(fontOptions, CAIRO_HINT_STYLE_NONE);
        pango_cairo_context_set_font_options(m_context.get(), fontOptions);
        cairo_font_options_destroy(fontOptions);
        pango_cairo_context_set_resolution(m_context.get(), 72);
    }

    // A layout in `family` at `size` points, wrapped at `width` (none: 0).
    Layout layout(const char *family, double size, bool bold, double width) const
    {
        Layout layout(pango_layout_new(m_context.get()));
        PangoFontDescription *font = pango_font_description_from_string(family);
        pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
        if (bold)
            pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
        pango_layout_set_font_description(layout.get(), font);
        pango_font_description_free(font);
        if (width > 0) {
            pango_layout_set_width(layout.get(), int(width * PANGO_SCALE));
            pango_layout_set_wrap(layout.get(), PANGO_WRAP_WORD_CHAR);
        }
        return layout;
    }

private:
    std::unique_ptr<PangoContext, GObjectFree> m_context;
};

// Appends `text` as UTF-8 to `out`, in room made (and wiped) beforehand:
// no copy of a password is left behind in freed memory.
void appendUtf8(QByteArray &out, QStringView text)
{
    const qsizetype used = out.size();
    reserveWiping(out, used + text.size() * 3);
    out.resize(used + text.size() * 3);
    QStringEncoder encoder(QStringConverter::Utf8);
    char *end = encoder.appendToBuffer(out.data() + used, text);
    out.truncate(end - out.constData());
}

void setText(PangoLayout *layout, QStringView text)
{
    QByteArray utf8;
    appendUtf8(utf8, text);
    pango_layout_set_text(layout, utf8.constData(), int(utf8.size()));
    wipe(utf8);
}

// Characters, a surrogate pair being one.
qsizetype charactersIn(QStringView text)
{
    return text.size() - std::count_if(text.begin(), text.end(), [](QChar c) { return c.isLowSurrogate(); });
}

double heightOf(PangoLayout *layout)
{
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return double(logical.height) / PANGO_SCALE;
}

double widthOf(PangoLayout *layout)
{
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return double(logical.width) / PANGO_SCALE;
}

// The password's typeface at one size: how many characters a line holds
// and how tall a line is.
struct PasswordSize
{
    double points;
    double advance; // of one character, and of the gap between groups
    double lineHeight;
    qsizetype perLine;
};

std::vector<PasswordSize> passwordSizes(const Typesetter &type, double textWidth, bool grouped)
{
    std::vector<PasswordSize> sizes;
    for (const double points : kPasswordSizes) {
        const Layout layout = type.layout(kPasswordFont, points, false, 0);
        pango_layout_set_text(layout.get(), "0", 1);
        const double advance = widthOf(layout.get());
        // Groups of four, a character's width apart, or the characters end to end.
        const auto groups = qsizetype((textWidth + advance) / ((kGroup + 1) * advance));
        const auto perLine = grouped ? groups * kGroup : qsizetype(textWidth / advance);
        sizes.push_back({points, advance, heightOf(layout.get()), perLine});
    }
    return sizes;
}

double noteHeight(const Typesetter &type, const SlipFrame &frame, const QString &note, int *lines)
{
    if (note.isEmpty()) {
        *lines = 0;
        return 0;
    }
    const Layout layout = type.layout(kTextFont, kNoteSize, false, frame.textWidth);
    setText(layout.get(), note);
    *lines = pango_layout_get_line_count(layout.get());
    return heightOf(layout.get());
}

double labelLineHeight(const Typesetter &type)
{
    const Layout layout = type.layout(kTextFont, kLabelSize, true, 0);
    pango_layout_set_text(layout.get(), "0", 1);
    return heightOf(layout.get());
}

// How many characters fit in `height` at `size`.
qsizetype capacity(const PasswordSize &size, double height)
{
    return qsizetype(height / size.lineHeight) * size.perLine;
}

// The QR code of a password's UTF-8, or nothing when it grows too dense for
// a slip. Its modules are wiped before they are freed: they spell the password.
struct QrFree
{
    void operator()(QRcode *code) const
    {
        sodium_memzero(code->data, std::size_t(code->width) * std::size_t(code->width));
        QRcode_free(code);
    }
};
using QrCode = std::unique_ptr<QRcode, QrFree>;

QrCode qrCodeOf(const QByteArray &utf8)
{
    QrCode code(QRcode_encodeData(int(utf8.size()), reinterpret_cast<const unsigned char *>(utf8.constData()),
                                  0, QR_ECLEVEL_M));
    if (code && code->version > kLargestQrVersion)
        code.reset();
    return code;
}

// The characters of `text` that no font shows, each once. Pango falls back
// from the typeface asked for to any installed font that has a character,
// so the text's typeface stands for all of them.
QString unshown(const Typesetter &type, QStringView text)
{
    QString missing;
    const Layout layout = type.layout(kTextFont, kLabelSize, false, 0);
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype size = text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        const QStringView character = text.sliced(at, size);
        at += size;
        if (character.front().isSpace() || missing.contains(character))
            continue;
        setText(layout.get(), character);
        if (pango_layout_get_unknown_glyphs_count(layout.get()) > 0)
            missing += character;
    }
    return missing;
}

} // namespace

QString unshownOnSlips(QStringView text)
{
    return unshown(Typesetter(), text);
}

std::optional<Paper> paperNamed(QStringView name)
{
    if (name.compare(u"a4", Qt::CaseInsensitive) == 0)
        return Paper::A4;
    if (name.compare(u"letter", Qt::CaseInsensitive) == 0)
        return Paper::Letter;
    return std::nullopt;
}

QString paperName(Paper paper)
{
    return paper == Paper::Letter ? QStringLiteral("letter") : QStringLiteral("a4");
}

Paper defaultPaper()
{
    // The first of these that is set decides, as it does for the C library.
    QString locale;
    for (const char *variable : {"LC_ALL", "LC_PAPER", "LANG"}) {
        locale = qEnvironmentVariable(variable);
        if (!locale.isEmpty())
            break;
    }
    // language_TERRITORY.codeset@modifier: the territory decides.
    static const QRegularExpression territory(QStringLiteral("^[a-zA-Z]+_([A-Z]{2})"));
    const QRegularExpressionMatch match = territory.match(locale);
    // The territories whose locales print on Letter.
    static const QStringList letter{QStringLiteral("US"), QStringLiteral("CA"), QStringLiteral("MX"),
                                    QStringLiteral("BO"), QStringLiteral("CL"), QStringLiteral("CO"),
                                    QStringLiteral("CR"), QStringLiteral("GT"), QStringLiteral("NI"),
                                    QStringLiteral("PA"), QStringLiteral("PH"), QStringLiteral("PR"),
                                    QStringLiteral("SV"), QStringLiteral("VE")};
    return match.hasMatch() && letter.contains(match.captured(1)) ? Paper::Letter : Paper::A4;
}

std::optional<QString> slipOptionsProblem(const SlipOptions &options)
{
    const Typesetter type;
    if (const QString missing = unshown(type, options.note); !missing.isEmpty())
        return QCoreApplication::translate("zentavo::SlipSheet", "no installed font shows %1 of the note")
            .arg(missing);
    const SlipFrame frame(options);
    int lines = 0;
    noteHeight(type, frame, options.note, &lines);
    if (lines > kNoteLines)
        return QCoreApplication::translate(
                   "zentavo::SlipSheet",
                   "the note does not fit on a slip: it takes %1 lines, a slip has room for %2")
            .arg(lines)
            .arg(kNoteLines);
    return std::nullopt;
}

qsizetype longestSlipPassword(const SlipOptions &options)
{
    const Typesetter type;
    const SlipFrame frame(options);
    int lines = 0;
    const double room =
        frame.contentHeight - labelLineHeight(type) - noteHeight(type, frame, options.note, &lines);
    const qsizetype longest = capacity(passwordSizes(type, frame.textWidth, options.grouped).back(), room);
    // A QR code of version 6 at level M holds 106 bytes: as many ASCII
    // characters, fewer of anything else (row() judges those).
    return options.qr ? std::min<qsizetype>(longest, 106) : longest;
}

int SlipSheet::slipsPerPage()
{
    return kSlipsPerPage;
}

// The PDF being written: a cairo surface whose bytes are gathered into
// blocks for the sink, and the layouts every slip reuses.
class SlipSheet::Pages
{
public:
    Pages(ByteSink &out, SlipOptions options);
    ~Pages();
    Pages(const Pages &) = delete;
    Pages &operator=(const Pages &) = delete;

    void slip(Cells cells);
    void finish();

private:
    static constexpr std::size_t kBlock = std::size_t(1) << 16;

    static cairo_status_t written(void *closure, const unsigned char *data, unsigned int length);
    void take(const char *data, std::size_t length);
    void flush();
    void check();
    void start();
    void pageFurniture();
    void drawPassword(double top, double height, const PasswordSize &size);
    void drawQrCode(double left, double top);

    ByteSink &m_out;
    SlipOptions m_options;
    Typesetter m_type;
    SlipFrame m_frame;
    std::vector<PasswordSize> m_sizes;
    double m_noteHeight = 0;
    Layout m_label;
    Layout m_group;
    Layout m_note;
    cairo_surface_t *m_surface = nullptr;
    cairo_t *m_cr = nullptr;
    qsizetype m_slips = 0;
    // Wiped buffers: the PDF's bytes on their way, the password being set.
    std::vector<char> m_block;
    std::size_t m_buffered = 0;
    QString m_password;
    QByteArray m_utf8;
    std::exception_ptr m_error;
    bool m_abandoned = false;
};

SlipSheet::Pages::Pages(ByteSink &out, SlipOptions options)
    : m_out(out), m_options(std::move(options)), m_frame(m_options),
      m_sizes(passwordSizes(m_type, m_frame.textWidth, m_options.grouped)),
      m_label(m_type.layout(kTextFont, kLabelSize, true, m_frame.textWidth)),
      m_group(m_type.layout(kPasswordFont, kPasswordSizes[0], false, 0)),
      m_note(m_type.layout(kTextFont, kNoteSize, false, m_frame.textWidth)), m_block(kBlock)
{
    int lines = 0;
    m_noteHeight = noteHeight(m_type, m_frame, m_options.note, &lines);
    setText(m_note.get(), m_options.note);
}

SlipSheet::Pages::~Pages()
{
    // Whatever cairo still writes on its way down goes nowhere.
    m_abandoned = true;
    if (m_cr)
        cairo_destroy(m_cr);
    if (m_surface)
        cairo_surface_destroy(m_surface);
    wipe(m_block);
    wipe(m_password);
    wipe(m_utf8);
}

cairo_status_t SlipSheet::Pages::written(void *closure, const unsigned char *data, unsigned int length)
{
    auto *pages = static_cast<Pages *>(closure);
    if (pages->m_abandoned || pages->m_error)
        return CAIRO_STATUS_WRITE_ERROR;
    // cairo is C: what the sink throws waits here until cairo has returned.
    try {
        pages->take(reinterpret_cast<const char *>(data), length);
    } catch (...) {
        pages->m_error = std::current_exception();
        return CAIRO_STATUS_WRITE_ERROR;
    }
    return CAIRO_STATUS_SUCCESS;
}

void SlipSheet::Pages::take(const char *data, std::size_t length)
{
    if (m_buffered + length > kBlock)
        flush();
    if (length >= kBlock) {
        m_out.write(data, qsizetype(length));
        return;
    }
    std::memcpy(m_block.data() + m_buffered, data, length);
    m_buffered += length;
}

void SlipSheet::Pages::flush()
{
    if (m_buffered == 0)
        return;
    const std::size_t buffered = m_buffered;
    m_buffered = 0;
    m_out.write(m_block.data(), qsizetype(buffered));
}

void SlipSheet::Pages::check()
{
    if (m_error)
        std::rethrow_exception(m_error);
    const cairo_status_t status = m_surface ? cairo_surface_status(m_surface) : CAIRO_STATUS_SUCCESS;
    if (status != CAIRO_STATUS_SUCCESS)
        throw Failure(QCoreApplication::translate("zentavo::SlipSheet", "the slips could not be laid out: %1")
                          .arg(QString::fromUtf8(cairo_status_to_string(status))));
}

void SlipSheet::Pages::start()
{
    const PageSize page = pageSize(m_options.paper);
    m_surface = cairo_pdf_surface_create_for_stream(&Pages::written, this, page.width, page.height);
    cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_TITLE, "Password slips");
    cairo_pdf_surface_set_metadata(m_surface, CAIRO_PDF_METADATA_CREATOR, "Zentavo");
    m_cr = cairo_create(m_surface);
    check();
}

void SlipSheet::Pages::pageFurniture()
{
    const PageSize page = pageSize(m_options.paper);
    cairo_t *cr = m_cr;
    // Light dashed lines to cut along, between and around the slips.
    cairo_save(cr);
    cairo_set_source_rgb(cr, 0.6, 0.6, 0.6);
    cairo_set_line_width(cr, 0.4);
    const std::array dashes{3.0, 3.0};
    cairo_set_dash(cr, dashes.data(), int(dashes.size()), 0);
    const double bottom = kMargin + kSlipsPerPage * m_frame.height;
    for (int edge = 0; edge <= kSlipsPerPage; ++edge) {
        const double y = kMargin + edge * m_frame.height;
        cairo_move_to(cr, kMargin - 12, y);
        cairo_line_to(cr, kMargin + m_frame.width + 12, y);
    }
    for (const double x : {kMargin, kMargin + m_frame.width}) {
        cairo_move_to(cr, x, kMargin - 12);
        cairo_line_to(cr, x, bottom + 12);
    }
    cairo_stroke(cr);
    cairo_restore(cr);

    const Layout footer = m_type.layout(kTextFont, kFooterSize, false, m_frame.width);
    setText(footer.get(),
            QCoreApplication::translate("zentavo::SlipSheet",
                                        "%1 stands for a space in a password. Cut along the dashed lines.")
                .arg(kSpaceMark));
    cairo_move_to(cr, kMargin, page.height - kMargin - kFooterHeight + 6);
    pango_cairo_show_layout(cr, footer.get());
}

void SlipSheet::Pages::slip(Cells cells)
{
    if (!m_cr)
        start();
    const int slot = int(m_slips % kSlipsPerPage);
    if (slot == 0 && m_slips > 0)
        cairo_show_page(m_cr);
    if (slot == 0) {
        pageFurniture();
        check();
    }
    ++m_slips;

    m_password.truncate(0);
    reserveWiping(m_password, cells.back().size());
    appendCell(m_password, cells.back());
    QString label;
    if (cells.size() > 1)
        appendCell(label, cells.front());
    else
        label = QString::number(m_slips);
    setText(m_label.get(), label);
    if (pango_layout_get_unknown_glyphs_count(m_label.get()) > 0)
        throw Failure(
            QCoreApplication::translate("zentavo::SlipSheet", "no installed font shows %1 of the name \"%2\"")
                .arg(unshown(m_type, label), label));

    const double left = kMargin + kPadding;
    const double top = kMargin + slot * m_frame.height + kPadding;
    const double labelHeight = heightOf(m_label.get());
    const double room = m_frame.contentHeight - labelHeight - m_noteHeight;
    const qsizetype length = charactersIn(m_password);
    // A passphrase on one line where a smaller size allows, rather than a
    // word cut in two.
    auto fits = m_options.grouped
                    ? m_sizes.cend()
                    : std::find_if(m_sizes.cbegin(), m_sizes.cend(),
                                   [&](const PasswordSize &size) { return size.perLine >= length; });
    if (fits == m_sizes.cend())
        fits = std::find_if(m_sizes.cbegin(), m_sizes.cend(),
                            [&](const PasswordSize &size) { return capacity(size, room) >= length; });
    if (fits == m_sizes.cend())
        throw Failure(
            QCoreApplication::translate("zentavo::SlipSheet", "the password of \"%1\" is too long for a slip")
                .arg(label));

    cairo_set_source_rgb(m_cr, 0, 0, 0);
    cairo_move_to(m_cr, left, top);
    pango_cairo_show_layout(m_cr, m_label.get());
    drawPassword(top + labelHeight, room, *fits);
    if (!m_options.note.isEmpty()) {
        cairo_move_to(m_cr, left, top + m_frame.contentHeight - m_noteHeight);
        pango_cairo_show_layout(m_cr, m_note.get());
    }
    if (m_options.qr)
        drawQrCode(kMargin + m_frame.width - kPadding - m_frame.qrSide, top);
    check();
}

// The password in groups of four, apart by a character's width of space
// rather than by a character, so that what is copied or read out of the
// PDF is the password itself; a space shows as a mark.
void SlipSheet::Pages::drawPassword(double top, double height, const PasswordSize &size)
{
    PangoFontDescription *font = pango_font_description_from_string(kPasswordFont);
    pango_font_description_set_absolute_size(font, size.points * PANGO_SCALE);
    pango_layout_set_font_description(m_group.get(), font);
    pango_font_description_free(font);

    const qsizetype length = m_password.size();
    const qsizetype characters = charactersIn(m_password);
    const qsizetype lines = (characters + size.perLine - 1) / size.perLine;
    const double first = top + (height - double(lines) * size.lineHeight) / 2;
    const double left = kMargin + kPadding;

    // A line of a passphrase is one group.
    const qsizetype groupSize = m_options.grouped ? kGroup : size.perLine;
    qsizetype character = 0;
    for (qsizetype at = 0; at < length;) {
        // One group: up to four characters, a surrogate pair being one.
        qsizetype end = at;
        for (qsizetype taken = 0; taken < groupSize && end < length; ++taken)
            end += (m_password.at(end).isHighSurrogate() && end + 1 < length) ? 2 : 1;
        m_utf8.truncate(0);
        for (qsizetype c = at; c < end;) {
            // A run up to the next space as it is, the space as its mark.
            qsizetype space = m_password.indexOf(QLatin1Char(' '), c);
            if (space < 0 || space > end)
                space = end;
            appendUtf8(m_utf8, QStringView(m_password).sliced(c, space - c));
            if (space < end)
                appendUtf8(m_utf8, QStringView(&kSpaceMark, 1));
            c = space + 1;
        }
        const qsizetype line = character / size.perLine;
        const qsizetype group = character % size.perLine / groupSize;
        cairo_move_to(m_cr, left + double(group) * double(groupSize + 1) * size.advance,
                      first + double(line) * size.lineHeight);
        pango_layout_set_text(m_group.get(), m_utf8.constData(), int(m_utf8.size()));
        if (pango_layout_get_unknown_glyphs_count(m_group.get()) > 0)
            throw Failure(QCoreApplication::translate(
                "zentavo::SlipSheet", "no installed font shows every character of a password"));
        pango_cairo_show_layout(m_cr, m_group.get());
        character += groupSize;
        at = end;
    }
    pango_layout_set_text(m_group.get(), "", 0);
}

void SlipSheet::Pages::drawQrCode(double left, double top)
{
    m_utf8.truncate(0);
    appendUtf8(m_utf8, m_password);
    const QrCode code = qrCodeOf(m_utf8);
    if (!code)
        throw Failure(QCoreApplication::translate("zentavo::SlipSheet",
                                                  "the password is too long for a QR code on a slip"));
    const int width = code->width;
    // Two modules of quiet zone inside the square, the slip's padding beyond.
    // Each run of dark modules is filled on its own: a lone rectangle goes
    // into the PDF as one short operator, a path of many as four points
    // each, which took more than half the time and the file.
    const double module = m_frame.qrSide / (width + 4);
    const double origin = 2 * module;
    for (int y = 0; y < width; ++y) {
        for (int x = 0; x < width;) {
            if (!(code->data[y * width + x] & 1)) {
                ++x;
                continue;
            }
            int run = 1;
            while (x + run < width && (code->data[y * width + x + run] & 1))
                ++run;
            cairo_rectangle(m_cr, left + origin + x * module, top + origin + y * module, run * module,
                            module);
            cairo_fill(m_cr);
            x += run;
        }
    }
}

void SlipSheet::Pages::finish()
{
    if (m_slips == 0)
        throw Failure(QCoreApplication::translate("zentavo::SlipSheet", "an empty list"));
    cairo_show_page(m_cr);
    cairo_destroy(m_cr);
    m_cr = nullptr;
    cairo_surface_finish(m_surface);
    check();
    flush();
}

SlipSheet::SlipSheet(ByteSink &out, SlipOptions options)
    : m_pages(std::make_unique<Pages>(out, std::move(options)))
{
}

SlipSheet::~SlipSheet() = default;

void SlipSheet::begin() {}

void SlipSheet::row(Cells cells)
{
    m_pages->slip(cells);
}

void SlipSheet::finish()
{
    m_pages->finish();
}

} // namespace zentavo
