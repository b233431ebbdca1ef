// SPDX-License-Identifier: MIT
#include "core/indexkey.h"

#include "core/codepage.h"

#include <algorithm>
#include <bit>
#include <cstring>

int KeyWidth(const FieldDef &field)
{
    switch (field.type) {
    case FieldType::String:
        return field.size;
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Date:
        return 4;
    case FieldType::Float:
        return 8;
    }
    return 0;
}

namespace
{

void putBigEndian(char *out, quint64 bits, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i, bits >>= 8)
        out[i] = char(bits & 0xFF);
}

// Text as key bytes, NUL-padded to `width`. Plain ASCII, by far the most common, is copied
// straight; anything else goes through the code page (and a full upper-casing).
void putText(char *out, const QString &s, int width, bool caseInsensitive)
{
    const qsizetype n = std::min<qsizetype>(s.size(), width);
    const char16_t *chars = reinterpret_cast<const char16_t *>(s.constData());
    bool ascii = true;
    for (qsizetype i = 0; i < n && ascii; ++i)
        ascii = chars[i] < 0x80;
    qsizetype used = n;
    if (ascii) {
        for (qsizetype i = 0; i < n; ++i) {
            char c = char(chars[i]);
            if (caseInsensitive && c >= 'a' && c <= 'z')
                c = char(c - 'a' + 'A');
            out[i] = c;
        }
    } else {
        const QByteArray text = ToCp1252(caseInsensitive ? s.toUpper() : s);
        used = std::min<qsizetype>(text.size(), width);
        std::memcpy(out, text.constData(), size_t(used));
    }
    std::memset(out + used, 0, size_t(width - used));
}

} // namespace

void WriteKey(char *out, const FieldDef &field, const QVariant &value, bool caseInsensitive)
{
    const int width = KeyWidth(field);
    if (!value.isValid() || value.isNull()) {
        std::memset(out, 0, size_t(width));
        return;
    }
    switch (field.type) {
    case FieldType::String:
        if (value.typeId() == QMetaType::QString)
            putText(out, *static_cast<const QString *>(value.constData()), width, caseInsensitive);
        else
            putText(out, value.toString(), width, caseInsensitive);
        return;
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Date: {
        const int n = value.typeId() == QMetaType::Int
                          ? *static_cast<const int *>(value.constData())
                          : value.toInt();
        putBigEndian(out, quint32(n) ^ 0x80000000u, 4);
        return;
    }
    case FieldType::Float: {
        const double d = value.typeId() == QMetaType::Double
                             ? *static_cast<const double *>(value.constData())
                             : value.toDouble();
        const auto bits = std::bit_cast<quint64>(d);
        putBigEndian(out, (bits >> 63) ? ~bits : bits | (quint64(1) << 63), 8);
        return;
    }
    }
}

void AppendKey(QByteArray &key, const FieldDef &field, const QVariant &value, bool caseInsensitive)
{
    const qsizetype at = key.size();
    key.resize(at + KeyWidth(field));
    WriteKey(key.data() + at, field, value, caseInsensitive);
}
