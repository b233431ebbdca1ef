// SPDX-License-Identifier: MIT
#include "linetables.h"

#include "core/tablefile.h"

#include <QDir>

void WriteEmptyTables(const QString &folder)
{
    TableFile::create(QDir(folder).filePath(kLineTableName), LineFileFields(), LineFileIndexes());
    TableFile::create(QDir(folder).filePath(QStringLiteral("Cal_jur1.DBF")), HeaderFileFields(),
                      HeaderFileIndexes());
}

void FakeHost::setHeaderPanelEnabled(bool enabled)
{
    headerPanel = enabled;
    calls << QStringLiteral("headerPanel %1").arg(enabled);
}

void FakeHost::setLinePanelEnabled(bool enabled)
{
    linePanel = enabled;
    calls << QStringLiteral("linePanel %1").arg(enabled);
}

void FakeHost::setSaveEnabled(bool enabled)
{
    save = enabled;
    pending = enabled;
    calls << QStringLiteral("save %1").arg(enabled);
}

void FakeHost::showTotals(const QString &v, const QString &i, const QString &n)
{
    value = v;
    interest = i;
    net = n;
}
