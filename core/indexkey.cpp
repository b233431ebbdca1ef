// SPDX-License-Identifier: MIT
#include "core/indexkey.h"

#include "core/codepage.h"

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

void appendBigEndian(QByteArray &key, quint64 bits, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        key.append(char((bits >> (8 * i)) & 0xFF));
}

} // namespace

void AppendKey(QByteArray &key, const FieldDef &field, const QVariant &value, bool caseInsensitive)
{
    const int width = KeyWidth(field);
    const bool empty = !value.isValid() || value.isNull();
    switch (field.type) {
    case FieldType::String: {
        QByteArray text;
        if (!empty) {
            const QString s = value.toString();
            text = ToCp1252(caseInsensitive ? s.toUpper() : s);
        }
        text.truncate(width);
        key.append(text);
        key.append(width - text.size(), '\0');
        return;
    }
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::Date:
        if (empty)
            key.append(4, '\0');
        else
            appendBigEndian(key, quint32(value.toInt()) ^ 0x80000000u, 4);
        return;
    case FieldType::Float: {
        if (empty) {
            key.append(8, '\0');
            return;
        }
        const auto bits = std::bit_cast<quint64>(value.toDouble());
        appendBigEndian(key, (bits >> 63) ? ~bits : bits | (quint64(1) << 63), 8);
        return;
    }
    }
}
