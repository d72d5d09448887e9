#pragma once

#include <QByteArray>
#include <QtEndian>

namespace zentavo::test {

// A 32 x 32 Windows cursor file: a filled square of the given colour with
// its hot spot at (hotX, hotY).
inline QByteArray cursorFile(quint16 hotX, quint16 hotY, quint32 argb = 0xff204080)
{
    QByteArray bytes;
    auto put16 = [&](quint16 v) { bytes.append(char(v & 0xff)).append(char(v >> 8)); };
    auto put32 = [&](quint32 v) {
        put16(quint16(v & 0xffff));
        put16(quint16(v >> 16));
    };
    const int size = 32, pixelBytes = size * size * 4, maskBytes = size * 4;
    put16(0);
    put16(2); // cursor
    put16(1); // one image
    bytes.append(char(size)).append(char(size)).append(char(0)).append(char(0));
    put16(hotX);
    put16(hotY);
    put32(40 + pixelBytes + maskBytes);
    put32(6 + 16);
    put32(40); // BITMAPINFOHEADER
    put32(size);
    put32(size * 2); // colour rows and mask rows
    put16(1);
    put16(32);
    put32(0);
    put32(pixelBytes + maskBytes);
    put32(0);
    put32(0);
    put32(0);
    put32(0);
    for (int i = 0; i < size * size; ++i)
        put32(argb);
    bytes.append(QByteArray(maskBytes, '\0'));
    return bytes;
}

} // namespace zentavo::test
