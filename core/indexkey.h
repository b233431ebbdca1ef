// SPDX-License-Identifier: MIT
#pragma once

#include "core/fielddef.h"

#include <QByteArray>
#include <QVariant>

// Key values as index files hold them: fixed-width bytes whose plain byte order is the order of
// the values, so entries sort and compare with memcmp. Empty values sort first.
//   String   code page 1252 bytes, NUL-padded to the field size (upper-cased first when the
//            index ignores letter case)
//   Integer, AutoInc, Date   4 bytes: the number big-endian with the sign bit flipped
//   Float    8 bytes: IEEE-754 big-endian, the sign bit set for >= 0, every bit inverted
//            for < 0
// Empty values are all zero bytes.
int KeyWidth(const FieldDef &field);
void AppendKey(QByteArray &key, const FieldDef &field, const QVariant &value, bool caseInsensitive);
// The same into `out`, which has room for KeyWidth(field) bytes.
void WriteKey(char *out, const FieldDef &field, const QVariant &value, bool caseInsensitive);

// The key of a text given as code page 1252 bytes; false, with nothing written, when the text
// is not plain ASCII.
bool WriteAsciiKey(char *out, const char *text, int length, int width, bool caseInsensitive);
