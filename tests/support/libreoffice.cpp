#include "libreoffice.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace zentavo::test {

namespace {

// Every text cell is quoted, so a cell's own spaces, commas and quotes survive.
QList<QStringList> parseCsv(const QString &csv)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv[i];
        if (quoted) {
            if (c == u'"' && i + 1 < csv.size() && csv[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row << field;
            field.clear();
        } else if (c == u'\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
        } else if (c != u'\r') {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

} // namespace

QList<QStringList> readWorkbook(const QString &workbook, const QString &profileFolder)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty()) {
        QTest::qFail("LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it", __FILE__,
                     __LINE__);
        return {};
    }
    QTemporaryDir out;
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(
        soffice, {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profileFolder).toString(),
                  QStringLiteral("--headless"), QStringLiteral("--norestore"), QStringLiteral("--convert-to"),
                  QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true"),
                  QStringLiteral("--outdir"), out.path(), workbook});
    if (!process.waitForFinished(300000) || process.exitCode() != 0) {
        QTest::qFail(
            qPrintable(QStringLiteral("soffice failed: ") + QString::fromLocal8Bit(process.readAll())),
            __FILE__, __LINE__);
        return {};
    }
    QFile csv(QDir(out.path()).filePath(QFileInfo(workbook).completeBaseName() + QStringLiteral(".csv")));
    if (!csv.open(QIODevice::ReadOnly)) {
        QTest::qFail(
            qPrintable(QStringLiteral("soffice wrote no CSV: ") + QString::fromLocal8Bit(process.readAll())),
            __FILE__, __LINE__);
        return {};
    }
    return parseCsv(QString::fromUtf8(csv.readAll()));
}

} // namespace zentavo::test
