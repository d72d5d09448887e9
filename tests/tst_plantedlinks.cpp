// Saving the passwords to names another user prepared: run by
// plantedlinks.sh as one user, after a second user planted links and files
// in a shared folder, and in folders the two share through a group. Every
// such name is refused, the user is told why, and what was planted stays as
// it was.
#include "exportfakes.h"
#include "windowfixture.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

using namespace zentavo;
using namespace zentavo::test;

namespace {

// What the name is and leads to, so any change to either shows.
QByteArray snapshot(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat link = {};
    struct stat target = {};
    QByteArray state = QByteArray::number(::lstat(name.constData(), &link)) + ' ' +
                       QByteArray::number(link.st_ino) + ' ' + QByteArray::number(link.st_uid);
    if (::stat(name.constData(), &target) == 0) {
        QFile file(path);
        state += ' ' + QByteArray::number(target.st_uid) + ' ' + QByteArray::number(target.st_mode, 8) + ' ';
        if (file.open(QIODevice::ReadOnly))
            state += file.readAll();
    }
    return state;
}

} // namespace

class TestPlantedLinks : public QObject
{
    Q_OBJECT

private slots:
    void savingThereIsRefused_data()
    {
        QTest::addColumn<QString>("path");
        const QStringList paths =
            qEnvironmentVariable("ZENTAVO_PLANTED").split(QLatin1Char(':'), Qt::SkipEmptyParts);
        if (paths.isEmpty())
            QSKIP("run by plantedlinks.sh, which plants the names (ZENTAVO_PLANTED)");
        for (const QString &path : paths)
            QTest::addRow("%s/%s", qPrintable(QFileInfo(path).dir().dirName()),
                          qPrintable(QFileInfo(path).fileName()))
                << path;
    }

    void savingThereIsRefused()
    {
        QFETCH(QString, path);
        WindowFixture window;
        ScriptedSaveDialog dialog;
        Services services = window.services();
        services.saveDialog = &dialog;
        Form1 form(services);
        form.Form_Load();
        form.Text2->setText(QStringLiteral("3"));
        form.Text3->setText(QStringLiteral("12"));
        form.PushButton1->click();
        QCOMPARE(form.results().storedRowCount(), 3);
        window.prompter.shown.clear();

        const QByteArray before = snapshot(path);
        dialog.answer = path;
        form.PushButton4->click();
        QCOMPARE(snapshot(path), before);
        QCOMPARE(window.prompter.shown.size(), 1);
        QVERIFY2(window.prompter.shown[0].text.contains(path + QStringLiteral(" was not written: ")),
                 qPrintable(window.prompter.shown[0].text));
    }
};

QTEST_MAIN(TestPlantedLinks)
#include "tst_plantedlinks.moc"
