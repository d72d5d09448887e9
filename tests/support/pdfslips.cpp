#include "pdfslips.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

namespace zentavo::test {

namespace {

QString output(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        QTest::qFail(qPrintable(program + QStringLiteral(" failed: ") + process.readAllStandardError()),
                     __FILE__, __LINE__);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

SlipsRead readSlips(const QString &pdf, const QString &note, bool qrCodes)
{
    SlipsRead read;
    const QString info = output(QStringLiteral("pdfinfo"), {pdf});
    read.pages = QRegularExpression(QStringLiteral("Pages: +(\\d+)")).match(info).captured(1).toInt();
    read.pageSize =
        QRegularExpression(QStringLiteral("Page size: +([0-9.]+ x [0-9.]+)")).match(info).captured(1);

    // name, type, encoding, then emb sub uni object ID: emb is fifth from the end.
    const QStringList fonts =
        output(QStringLiteral("pdffonts"), {pdf}).split(u'\n', Qt::SkipEmptyParts).mid(2);
    read.fontsEmbedded = !fonts.isEmpty() && std::all_of(fonts.begin(), fonts.end(), [](const QString &font) {
        const QStringList columns = font.split(u' ', Qt::SkipEmptyParts);
        return columns.size() > 5 && columns[columns.size() - 5] == QLatin1String("yes");
    });

    const QStringList notes = note.split(u'\n');
    QStringList texts;
    for (const QString &line :
         output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, "-"}).split(u'\n')) {
        const QString text = line.trimmed();
        if (!text.isEmpty() && !notes.contains(text) && !text.contains(QLatin1String("Cut along")))
            texts << text;
    }
    for (qsizetype i = 0; i + 1 < texts.size(); i += 2)
        read.slips << QStringList{texts[i], texts[i + 1].remove(u' ').replace(QChar(0x2423), u' ')};

    if (qrCodes) {
        QTemporaryDir pages;
        output(QStringLiteral("pdftoppm"), {"-r", "150", "-png", pdf, pages.filePath("page")});
        QStringList images = QDir(pages.path()).entryList({"page*.png"});
        for (QString &image : images)
            image = pages.filePath(image);
        read.qrCodes = output(QStringLiteral("zbarimg"), QStringList{"-q", "--raw"} + images).split(u'\n');
        read.qrCodes.removeAll(QString());
        read.qrCodes.sort();
    }
    return read;
}

} // namespace zentavo::test
