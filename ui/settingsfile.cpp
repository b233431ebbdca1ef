// SPDX-License-Identifier: MIT
#include "ui/settingsfile.h"

#include "core/errors.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

const QString kSettingsFileName = QStringLiteral("formula_juros.cfg");

std::optional<bool> ReadSimpleInterestSetting(const QString &path)
{
    QFile file(path);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        throw Error(QStringLiteral("File access denied: %1").arg(path));
    const QByteArray content = file.read(4096);
    int end = 0;
    while (end < content.size() && content[end] != '\r' && content[end] != '\n')
        ++end;
    return content.left(end) == "1";
}

void WriteSimpleInterestSetting(const QString &path, bool simple)
{
    const QByteArray line = simple ? QByteArrayLiteral("1\r\n") : QByteArrayLiteral("2\r\n");
    // A file that already says the same, and could be written, is left as it is.
    QFile current(path);
    if (current.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) &&
        current.read(line.size() + 1) == line)
        return;
    current.close();
    // Written whole or not at all: a failed write leaves the old file as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(line) != line.size() || !file.commit())
        throw Error(QStringLiteral("File access denied: %1").arg(path));
}
