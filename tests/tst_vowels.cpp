#include "generator/vowels.h"

#include <QTest>

using namespace zentavo;

class TestVowels : public QObject
{
    Q_OBJECT

private slots:
    void removeVowels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::addRow("lower-case alphabet") << "abcdefghijklmnopqrstuvwxyz"
                                             << "bcdfghjklmnpqrstvwxyz";
        QTest::addRow("upper-case alphabet") << "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                             << "BCDFGHJKLMNPQRSTVWXYZ";
        QTest::addRow("digits") << "0123456789"
                                << "0123456789";
        QTest::addRow("punctuation") << "!@#$%^&*() ,.;"
                                     << "!@#$%^&*() ,.;";
        QTest::addRow("empty") << ""
                               << "";
        QTest::addRow("only vowels, mixed case") << "aEiOuAeIoU"
                                                 << "";
        QTest::addRow("order and repeats kept") << "bAnana"
                                                << "bnn";
        QTest::addRow("y stays") << "yYay"
                                 << "yYy";
        QTest::addRow("accented letters stay") << QString::fromUtf8("éÀüÖ") << QString::fromUtf8("éÀüÖ");
        QTest::addRow("dotless i is an I in capitals") << QString::fromUtf8("kıs") << "ks";
        QTest::addRow("surrogate pair untouched") << QString::fromUtf8("a😀e") << QString::fromUtf8("😀");
    }
    void removeVowels()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(RemoveVowels(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestVowels)
#include "tst_vowels.moc"
