// SPDX-License-Identifier: MIT
#include "ui/bitmapfile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <cstdlib>

namespace
{

quint16 le16(const uchar *p)
{
    return qFromLittleEndian<quint16>(p);
}

qint32 le32(const uchar *p)
{
    return qFromLittleEndian<qint32>(p);
}

// A file header of 14 bytes, then an information header of 40 bytes with one plane, 24 bits a
// pixel and no compression; the pixels at the offset the file header gives, blue, green, red,
// each row padded to four bytes, the bottom row first unless the height is negative. Anything
// else, or anything unusual about it, is left to Qt's reader: a null image.
QImage decodePlain24(const uchar *data, qint64 size)
{
    constexpr qint64 kFileHeader = 14, kInfoHeader = 40;
    constexpr qint64 kMaxSide = 16384; // a larger picture is unusual: Qt's reader judges it
    if (size < kFileHeader + kInfoHeader || data[0] != 'B' || data[1] != 'M')
        return {};
    const uchar *info = data + kFileHeader;
    if (le32(info) != kInfoHeader || le16(info + 12) != 1 || le16(info + 14) != 24 ||
        le32(info + 16) != 0)
        return {};
    const qint64 width = le32(info + 4);
    const qint64 height = std::abs(qint64(le32(info + 8)));
    const bool bottomUp = le32(info + 8) > 0;
    if (width <= 0 || width > kMaxSide || height == 0 || height > kMaxSide)
        return {};
    const qint64 offset = quint32(le32(data + 10));
    const qint64 rowBytes = (width * 3 + 3) / 4 * 4;
    if (offset < kFileHeader + kInfoHeader || offset + rowBytes * height > size)
        return {};

    // In the screen's own 32-bit layout the window draws the picture as a plain copy; the
    // conversion is done once, here, off the window's thread.
    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull())
        return {};
    for (qint64 y = 0; y < height; ++y) {
        const uchar *src = data + offset + rowBytes * (bottomUp ? height - 1 - y : y);
        auto *dst = reinterpret_cast<QRgb *>(image.scanLine(int(y)));
        qint64 x = 0;
        // Four pixels from three little-endian words: b0 g0 r0 b1 | g1 r1 b2 g2 | r2 b3 g3 r3.
        for (; x + 4 <= width; x += 4, src += 12, dst += 4) {
            const quint32 w0 = qFromLittleEndian<quint32>(src);
            const quint32 w1 = qFromLittleEndian<quint32>(src + 4);
            const quint32 w2 = qFromLittleEndian<quint32>(src + 8);
            dst[0] = 0xff000000u | w0;
            dst[1] = 0xff000000u | w0 >> 24 | w1 << 8;
            dst[2] = 0xff000000u | w1 >> 16 | w2 << 16;
            dst[3] = 0xff000000u | w2 >> 8;
        }
        for (; x < width; ++x, src += 3)
            *dst++ = 0xff000000u | quint32(src[2]) << 16 | quint32(src[1]) << 8 | src[0];
    }
    image.setDotsPerMeterX(le32(info + 24));
    image.setDotsPerMeterY(le32(info + 28));
    return image;
}

// The picture of a plain 24-bit bitmap file; a null image for a missing file or any other kind.
QImage readPlain24(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (const uchar *mapped = file.map(0, file.size()))
        return decodePlain24(mapped, file.size());
    const QByteArray bytes = file.readAll();
    return decodePlain24(reinterpret_cast<const uchar *>(bytes.constData()), bytes.size());
}

} // namespace

QImage ReadBitmapFile(const QString &path)
{
    QImage image = readPlain24(path);
    if (!image.isNull() || !QFileInfo::exists(path))
        return image;
    QImageReader reader(path, "bmp"); // by name: no image plugins loaded to guess the format
    return reader.read();
}

BitmapReadAhead::BitmapReadAhead(const QString &path)
    : m_path(path), m_image(std::async(std::launch::async, readPlain24, path))
{
}

QImage BitmapReadAhead::take(const QString &path)
{
    QImage image;
    if (m_image.valid())
        image = m_image.get(); // a read of another path is dropped all the same
    if (image.isNull() || path != m_path)
        return ReadBitmapFile(path);
    return image;
}
