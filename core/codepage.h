// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// Text in table files is Windows code page 1252 (ANSI Latin 1), the code page both file kinds
// declare in their headers.
QString FromCp1252(const char *data, qsizetype size);
inline QString FromCp1252(const QByteArray &bytes)
{
    return FromCp1252(bytes.constData(), bytes.size());
}
// Characters the code page lacks become '?', as the Windows conversion does.
QByteArray ToCp1252(const QString &text);
