// SPDX-License-Identifier: MIT
#include "ui/bitmapfile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>
#include <cstdlib>
#include <cstring>

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

    // Blue, green, red in rows padded to four bytes is the image's own layout: a copy, row for
    // row, with no pixel touched.
    QImage image(int(width), int(height), QImage::Format_BGR888);
    if (image.isNull() || image.bytesPerLine() != rowBytes)
        return {};
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(image.scanLine(int(y)),
                    data + offset + rowBytes * (bottomUp ? height - 1 - y : y), size_t(rowBytes));
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
