// SPDX-License-Identifier: MIT
#include "core/codepage.h"

namespace
{

// 0x80..0x9F; the five bytes the code page leaves undefined map to the C1 control of the same
// number, as Windows does, so that every byte survives a round trip.
constexpr char16_t kHigh[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return char(0x80 + i);
    return '?';
}

} // namespace

QString FromCp1252(const char *data, qsizetype size)
{
    // Outside 0x80..0x9F the code page is Latin 1.
    bool latin1 = true;
    for (qsizetype i = 0; i < size && latin1; ++i)
        latin1 = (static_cast<unsigned char>(data[i]) & 0xE0) != 0x80;
    if (latin1)
        return QString::fromLatin1(data, size);
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        out[i] = QChar(b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray ToCp1252(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        // A surrogate pair is one character the code page lacks.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i;
        bytes[n++] = encodeChar(c);
    }
    bytes.truncate(n);
    return bytes;
}
