#include "generator/atleastcaption.h"

#include <QTest>

using namespace zentavo;

class TestCaption : public QObject
{
    Q_OBJECT

private slots:
    void caption_data()
    {
        QTest::addColumn<QList<bool>>("checked"); // a - z, A - Z, 0 - 9, user's
        QTest::addColumn<QString>("expected");
        QTest::addRow("none") << QList<bool>{0, 0, 0, 0} << "Generate at least 1 character";
        QTest::addRow("a - z") << QList<bool>{1, 0, 0, 0} << "Generate at least 1 character from a - z";
        QTest::addRow("a - z, A - Z")
            << QList<bool>{1, 1, 0, 0} << "Generate at least 1 character from a - z, A - Z";
        QTest::addRow("A - Z, 0 - 9")
            << QList<bool>{0, 1, 1, 0} << "Generate at least 1 character from A - Z, 0 - 9";
        QTest::addRow("all four")
            << QList<bool>{1, 1, 1, 1}
            << "Generate at least 1 character from a - z, A - Z, 0 - 9,  Your specified characters";
        QTest::addRow("user's only") << QList<bool>{0, 0, 0, 1}
                                     << "Generate at least 1 character from  Your specified characters";
        QTest::addRow("0 - 9 and user's")
            << QList<bool>{0, 0, 1, 1}
            << "Generate at least 1 character from 0 - 9,  Your specified characters";
    }
    void caption()
    {
        QFETCH(QList<bool>, checked);
        QFETCH(QString, expected);
        const QStringList captions{"a - z", "A - Z", "0 - 9", " Your specified characters"};
        QList<CaptionedGroup> groups;
        for (int i = 0; i < 4; ++i)
            groups.append({checked[i], captions[i]});
        QCOMPARE(atLeastCaption(groups), expected);
    }
};

QTEST_GUILESS_MAIN(TestCaption)
#include "tst_caption.moc"
