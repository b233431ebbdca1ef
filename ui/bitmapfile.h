// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>
#include <future>

// Reads a Windows bitmap file into an image; a null image when the file is missing or is not a
// readable bitmap. The plain uncompressed 24-bit kind, which is what the background is, is
// decoded straight from the mapped file into the screen's 32-bit layout
// (QImage::Format_RGB32); every other kind goes through Qt's reader. Both give the same pixels.
QImage ReadBitmapFile(const QString &path);

// A bitmap file read on a thread of its own while the program does other work: the plain
// 24-bit kind only, which needs nothing of Qt's image plugins. take() gives the picture; a file
// of another kind, a missing file or another path is read then, through ReadBitmapFile. Whoever
// drops the object waits for the read to end.
class BitmapReadAhead
{
public:
    BitmapReadAhead() = default;
    explicit BitmapReadAhead(const QString &path);

    QImage take(const QString &path);

private:
    QString m_path;
    std::future<QImage> m_image;
};
