// The hover hand we ship, resources/HAND-M.CUR, as the program loads it: a
// Windows cursor file whose pointer has its hot spot on the tip of the
// pointing finger.

#include "ui/cursorfile.h"

#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QTest>
#include <QtEndian>

class TestHandCursor : public QObject
{
    Q_OBJECT

    QByteArray bytes;
    QImage image;
    QPoint hotSpot;

private slots:
    void initTestCase()
    {
        QFile file(QStringLiteral(ZENTAVO_HAND_CURSOR));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        bytes = file.readAll();
        QVERIFY(bytes.size() > 6 + 16);

        const QCursor cursor = zentavo::loadCursorFile(QStringLiteral(ZENTAVO_HAND_CURSOR));
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        image = cursor.pixmap().toImage();
        QVERIFY(!image.isNull());
        hotSpot = cursor.hotSpot();
    }

    void isACursorFile()
    {
        const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
        QCOMPARE(qFromLittleEndian<quint16>(data + 0), quint16(0)); // reserved
        QCOMPARE(qFromLittleEndian<quint16>(data + 2), quint16(2)); // 2: cursor, 1 would be an icon
        QCOMPARE(qFromLittleEndian<quint16>(data + 4), quint16(1)); // one image
    }

    void readsAsAThirtyTwoPixelSquare()
    {
        QCOMPARE(image.size(), QSize(32, 32));
        QVERIFY(image.hasAlphaChannel());
    }

    void isTransparentAroundTheHand()
    {
        for (const QPoint corner : {QPoint(0, 0), QPoint(31, 0), QPoint(0, 31), QPoint(31, 31)})
            QCOMPARE(qAlpha(image.pixel(corner)), 0);
    }

    void hotSpotIsOnTheFingerTip()
    {
        QVERIFY(image.rect().contains(hotSpot));
        QCOMPARE(qAlpha(image.pixel(hotSpot)), 255);
        // The tip is the hand's highest point: nothing is drawn above it...
        for (int y = 0; y < hotSpot.y(); ++y)
            for (int x = 0; x < image.width(); ++x)
                QVERIFY2(qAlpha(image.pixel(x, y)) == 0,
                         qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
        // ...and the one finger that reaches its row is narrow.
        int drawn = 0;
        for (int x = 0; x < image.width(); ++x)
            drawn += qAlpha(image.pixel(x, hotSpot.y())) != 0;
        QVERIFY(drawn <= 4);
    }

    void handHasAnOutlineAndAFill()
    {
        // A one-colour blob would vanish on a background of its colour.
        bool dark = false, light = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (qAlpha(pixel) == 0)
                    continue;
                dark |= qGray(pixel) < 64;
                light |= qGray(pixel) > 192;
            }
        }
        QVERIFY(dark);
        QVERIFY(light);
    }
};

QTEST_MAIN(TestHandCursor)
#include "tst_handcursor.moc"
