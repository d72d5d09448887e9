// The window in other languages: texts chosen by the locale, Qt's own
// dialogs and the engine's messages translated too, and every German caption
// fitting its control.

#include "exportfakes.h"
#include "ui/form1.h"
#include "ui/splash.h"
#include "ui/translations.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QTableView>
#include <QTest>

using namespace zentavo;
using namespace zentavo::test;

namespace {

// How much wider the text is than the room its control gives it; 0 or less
// when it fits.
int overflow(QWidget *control)
{
    const QFontMetrics metrics = control->fontMetrics();
    QStyle *style = control->style();
    if (auto *box = qobject_cast<QCheckBox *>(control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        const QRect room = style->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
        return metrics.horizontalAdvance(box->text()) - room.width();
    }
    if (auto *frame = qobject_cast<QGroupBox *>(control)) {
        // The title runs along the top, inside the frame's edges.
        return metrics.horizontalAdvance(frame->title()) + 2 * metrics.height() - frame->width();
    }
    if (auto *button = qobject_cast<QPushButton *>(control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room = style->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        return metrics.horizontalAdvance(button->text()) - room.width();
    }
    auto *bar = qobject_cast<QProgressBar *>(control);
    return metrics.horizontalAdvance(bar->text()) - bar->width() + 8;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void theLocaleChoosesTheTexts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("translated");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("cancel"); // from Qt's own translations
        QTest::addColumn<QString>("atLeast");
        const QString english = "Generate at least 1 character from a - z, A - Z, 0 - 9";
        const QString german = "Mindestens 1 Zeichen aus a - z, A - Z, 0 - 9";
        QTest::addRow("C") << "C" << false << "Start Generating"
                           << "Cancel" << english;
        QTest::addRow("en_US") << "en_US" << false << "Start Generating"
                               << "Cancel" << english;
        QTest::addRow("en_GB") << "en_GB" << false << "Start Generating"
                               << "Cancel" << english;
        QTest::addRow("de_DE") << "de_DE" << true << "Passwörter erzeugen"
                               << "Abbrechen" << german;
        QTest::addRow("de_AT") << "de_AT" << true << "Passwörter erzeugen"
                               << "Abbrechen" << german;
    }
    void theLocaleChoosesTheTexts()
    {
        QFETCH(QString, locale);
        QFETCH(bool, translated);
        QFETCH(QString, button);
        QFETCH(QString, cancel);
        QFETCH(QString, atLeast);
        const Translations translations{QLocale(locale)};
        QCOMPARE(translations.translated(), translated);
        WindowFixture fixture;
        Form1 &form = fixture.start(false);
        QCOMPARE(form.PushButton1->text(), button);
        QCOMPARE(form.Check8->text(), atLeast);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), cancel);
    }

    void germanCaptionsFitTheirControls()
    {
        const Translations german{QLocale(QStringLiteral("de_DE"))};
        QVERIFY(german.translated());
        ScriptedSaveDialog dialog;
        WindowFixture fixture;
        fixture.storeSettings({{"Specified", "1"}, {"Number Of Passwords", "1500"}});
        Services services = fixture.services();
        services.saveDialog = &dialog;
        fixture.form = std::make_unique<Form1>(services);
        Form1 &form = *fixture.form;
        form.Form_Load();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        Splash splash(fixture.services());
        QList<QWidget *> controls{form.Frame1,      form.Frame2,      form.Frame3,       form.Frame4,
                                  form.Frame5,      form.Check1,      form.Check2,       form.Check3,
                                  form.Check4,      form.Check5,      form.Check6,       form.Check7,
                                  form.Check8,      form.Check9,      form.PushButton1,  form.PushButton2,
                                  form.PushButton3, form.PushButton4, form.PushButton13, form.ProgressBar1,
                                  splash.Check1};
        QStringList clipped;
        int tightest = std::numeric_limits<int>::min();
        for (QWidget *control : controls) {
            const int over = overflow(control);
            tightest = std::max(tightest, over);
            if (over > 0)
                clipped << QStringLiteral("%1 by %2 px").arg(control->objectName()).arg(over);
        }
        qInfo("the tightest caption has %d px to spare", -tightest);
        // The list's column titles, in their columns.
        QHeaderView *header = form.ListView1->horizontalHeader();
        for (int column = 0; column < form.results().columnCount(); ++column) {
            const QString title =
                form.results().headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
            if (header->fontMetrics().horizontalAdvance(title) + 8 > header->sectionSize(column))
                clipped << title;
        }
        // What the bar shows while a list of some length goes to a file.
        form.PushButton1->click();
        QStringList progressTexts;
        connect(form.ProgressBar1, &QProgressBar::valueChanged, this, [&] {
            if (!progressTexts.contains(form.ProgressBar1->text()))
                progressTexts << form.ProgressBar1->text();
            if (overflow(form.ProgressBar1) > 0)
                clipped << form.ProgressBar1->text();
        });
        // A name the bar's format would turn into numbers.
        dialog.answer = fixture.folder.filePath(QStringLiteral("Passwoerter-%p%v.txt"));
        form.PushButton4->click();
        QVERIFY2(progressTexts.size() >= 4, qPrintable(progressTexts.join(", ")));
        QVERIFY2(progressTexts.filter(QStringLiteral("Passwoerter-%p%v.txt")).size() >= 2,
                 qPrintable(progressTexts.join(", ")));
        QFile saved(dialog.answer); // read by programs: the same titles in every language
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readLine().simplified() == "Line Result(s)");
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
    }

    // The engine's messages reach the window in its language too, while the
    // names of the program's own procedures stay as they are.
    void engineMessagesFollowTheLocale()
    {
        struct Seen
        {
            QList<ShownMessage> shown;
            QString strength;
        };
        auto run = [](const QString &locale) {
            const Translations translations{QLocale(locale)};
            WindowFixture fixture;
            // No group to draw from, yet the last character is to be a digit.
            fixture.storeSettings({{"Alpha Lower", "0"},
                                   {"Alpha Upper", "0"},
                                   {"Numeric", "0"},
                                   {"Specified", "0"},
                                   {"Check8", "0"},
                                   {"Check4", "1"},
                                   {"Check3", "0"},
                                   {"Number Of Passwords", "2"}});
            Form1 &form = fixture.start(false);
            form.PushButton1->click();
            return Seen{fixture.prompter.shown, form.Text3->toolTip()};
        };
        const Seen english = run(QStringLiteral("C"));
        const Seen german = run(QStringLiteral("de_DE"));
        // The failure's report, then the end of the run.
        QCOMPARE(english.shown.size(), 2);
        QCOMPARE(german.shown.size(), english.shown.size());
        const QString path = QStringLiteral("in Quorvex2021/08/31.Form1.PushButton1_Click ");
        QVERIFY(english.shown[0].text.contains(path));
        QVERIFY2(german.shown[0].text.contains(path), qPrintable(german.shown[0].text));
        QVERIFY(german.shown[0].title != english.shown[0].title);
        for (qsizetype i = 0; i < english.shown.size(); ++i)
            QVERIFY2(german.shown[i].text != english.shown[i].text, qPrintable(german.shown[i].text));
        QVERIFY(!english.strength.isEmpty());
        QVERIFY2(german.strength != english.strength, qPrintable(german.strength));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
