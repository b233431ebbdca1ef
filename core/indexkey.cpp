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
void WriteTextKey(char *out, const QString &s, int width, bool caseInsensitive)
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

void WriteIntegerKey(char *out, int value)
{
    putBigEndian(out, quint32(value) ^ 0x80000000u, 4);
}

void WriteFloatKey(char *out, double value)
{
    const auto bits = std::bit_cast<quint64>(value);
    putBigEndian(out, (bits >> 63) ? ~bits : bits | (quint64(1) << 63), 8);
}

} // namespace

bool WriteAsciiKey(char *out, const char *text, int length, int width, bool caseInsensitive)
{
    const int n = std::min(length, width);
    for (int i = 0; i < n; ++i)
        if (quint8(text[i]) >= 0x80)
            return false;
    for (int i = 0; i < n; ++i) {
        char c = text[i];
        if (caseInsensitive && c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        out[i] = c;
    }
    std::memset(out + n, 0, size_t(width - n));
    return true;
}

void WriteKey(char *out, const FieldDef &field, const QVariant &value, bool caseInsensitive)
{
    const int width = KeyWidth(field);
    const QMetaType type = value.metaType();
    switch (field.type) {
    case FieldType::String:
        if (type == QMetaType::fromType<QString>()) {
            WriteTextKey(out, *static_cast<const QString *>(value.constData()), width,
                         caseInsensitive);
            return;
        }
        break;
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Date:
        if (type == QMetaType::fromType<int>()) {
            WriteIntegerKey(out, *static_cast<const int *>(value.constData()));
            return;
        }
        break;
    case FieldType::Float:
        if (type == QMetaType::fromType<double>()) {
            WriteFloatKey(out, *static_cast<const double *>(value.constData()));
            return;
        }
        break;
    }
    // Values of another type, converted; empty ones are all zero bytes.
    if (!value.isValid() || value.isNull()) {
        std::memset(out, 0, size_t(width));
        return;
    }
    switch (field.type) {
    case FieldType::String:
        WriteTextKey(out, value.toString(), width, caseInsensitive);
        return;
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Date:
        WriteIntegerKey(out, value.toInt());
        return;
    case FieldType::Float:
        WriteFloatKey(out, value.toDouble());
        return;
    }
}

void AppendKey(QByteArray &key, const FieldDef &field, const QVariant &value, bool caseInsensitive)
{
    const qsizetype at = key.size();
    key.resize(at + KeyWidth(field));
    WriteKey(key.data() + at, field, value, caseInsensitive);
}
