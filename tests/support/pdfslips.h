#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zentavo::test {

// What the PDF readers people have (poppler-utils, zbar-tools) make of a PDF
// of slips: each slip's label and password as pdftotext -layout reads them
// (the groups rejoined, the space mark read as a space), in order; the page
// size and count as pdfinfo gives them; whether pdffonts finds every font
// embedded; and, asked for, what zbarimg decodes from the pages rendered at
// 150 dpi, sorted. `note`: the lines every slip repeats, left out.
struct SlipsRead
{
    QList<QStringList> slips;
    QString pageSize;
    int pages = 0;
    bool fontsEmbedded = false;
    QStringList qrCodes;
};
SlipsRead readSlips(const QString &pdf, const QString &note, bool qrCodes);

} // namespace zentavo::test
