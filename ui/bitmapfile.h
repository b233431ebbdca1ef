// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>
#include <QString>

// Reads a Windows bitmap file into an image; a null image when the file is missing or is not a
// readable bitmap. The plain uncompressed 24-bit kind, which is what the background is, is
// decoded straight from the mapped file; every other kind goes through Qt's reader, and both
// give the same pixels.
QImage ReadBitmapFile(const QString &path);
