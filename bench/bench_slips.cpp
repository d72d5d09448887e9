// zentavo-cli's slips (--format slips) against cairo and pango alone. The
// floor is a plain program that reads the same passwords (one run of
// zentavo-cli's plain output of the same count) and puts each on a PDF page
// as one line of DejaVu Sans Mono under its line number, ten to a page:
// no groups, no cut marks, no footer, no wiping. Both run as child
// processes in alternating rounds, with and without QR codes; the figures
// are the wall time and the peak resident memory, the minimum and median of
// the rounds each.
//
//   bench_slips [rounds] [zentavo-cli]      (default 5, the build's)

#include "childprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cairo-pdf.h>
#include <cstdio>
#include <cstdlib>
#include <pango/pangocairo.h>
#include <string>
#include <vector>

namespace {

using zentavo::bench::command;
using zentavo::bench::Figures;
using zentavo::bench::inChild;
using zentavo::bench::Series;

// The floor: each line of `passwords` on a slip of a PDF at `path`.
int cairoAlone(const std::string &passwords, const std::string &path)
{
    QFile in(QString::fromStdString(passwords));
    if (!in.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray text = in.readAll();
    cairo_surface_t *surface = cairo_pdf_surface_create(path.c_str(), 595.276, 841.890);
    cairo_t *cr = cairo_create(surface);
    PangoLayout *label = pango_cairo_create_layout(cr);
    PangoLayout *password = pango_cairo_create_layout(cr);
    PangoFontDescription *font = pango_font_description_from_string("DejaVu Sans Bold 9");
    pango_layout_set_font_description(label, font);
    pango_font_description_free(font);
    font = pango_font_description_from_string("DejaVu Sans Mono 18");
    pango_layout_set_font_description(password, font);
    pango_font_description_free(font);
    int slip = 0;
    for (qsizetype start = 0, end; start < text.size(); start = end + 1, ++slip) {
        end = text.indexOf('\n', start);
        if (slip > 0 && slip % 10 == 0)
            cairo_show_page(cr);
        const double top = 36 + (slip % 10) * 75.0;
        const std::string number = std::to_string(slip + 1);
        pango_layout_set_text(label, number.c_str(), int(number.size()));
        cairo_move_to(cr, 44, top);
        pango_cairo_show_layout(cr, label);
        pango_layout_set_text(password, text.constData() + start, int(end - start));
        cairo_move_to(cr, 44, top + 16);
        pango_cairo_show_layout(cr, password);
    }
    g_object_unref(label);
    g_object_unref(password);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    const bool written = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return written ? 0 : 1;
}

struct Measured
{
    Series seconds;
    Series peakMiB;
    void add(const Figures &figures)
    {
        seconds.values.push_back(figures.seconds);
        peakMiB.values.push_back(figures.peakMiB);
    }
    void print(const std::string &name) const
    {
        std::printf("%-52s %8.3f %8.3f   %7.1f %7.1f\n", name.c_str(), seconds.min(), seconds.median(),
                    peakMiB.min(), peakMiB.median());
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string program = argc > 2 ? argv[2] : ZENTAVO_CLI;
    QTemporaryDir folder;
    const std::string at = folder.path().toStdString();
    std::printf("%d alternating rounds                                  wall seconds        peak MiB\n"
                "                                                         min   median       min  median\n",
                rounds);
    for (const std::string slips : {"1000", "10000"}) {
        const std::string passwords = at + "/passwords.txt";
        command({program, "-n", slips, "--format", "plain", "-o", passwords});
        Measured cli, qr, floor;
        for (int round = 0; round < rounds; ++round) {
            const std::string pdf = at + "/slips.pdf";
            cli.add(command({program, "-n", slips, "--format", "slips", "--paper", "a4", "-o", pdf}));
            QFile::remove(QString::fromStdString(pdf));
            qr.add(command({program, "-n", slips, "--format", "slips", "--paper", "a4", "--qr", "-o", pdf}));
            QFile::remove(QString::fromStdString(pdf));
            floor.add(inChild("/dev/null", [&] { return cairoAlone(passwords, pdf); }));
            QFile::remove(QString::fromStdString(pdf));
        }
        floor.print("cairo and pango alone, " + slips + " slips");
        cli.print("zentavo-cli -n " + slips + " --format slips -o FILE");
        qr.print("zentavo-cli -n " + slips + " --format slips --qr -o FILE");
        std::printf("  x floor (median time): %.2f, with QR codes %.2f\n",
                    cli.seconds.median() / floor.seconds.median(),
                    qr.seconds.median() / floor.seconds.median());
    }
    return 0;
}
