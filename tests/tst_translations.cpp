// The window in other languages: texts chosen by the locale, Qt's own
// dialogs translated too, and every German caption fitting its control.

#include "ui/form1.h"
#include "ui/splash.h"
#include "ui/translations.h"
#include "windowfixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
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
        WindowFixture fixture;
        fixture.storeSettings({{"Specified", "1"}});
        Form1 &form = fixture.start();
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
            const QString title = form.results().columnTitle(column);
            if (header->fontMetrics().horizontalAdvance(title) + 8 > header->sectionSize(column))
                clipped << title;
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(", ")));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
