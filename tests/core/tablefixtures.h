// SPDX-License-Identifier: MIT
#pragma once

// Shared pieces of the table file tests: the two tables of the program, file helpers and a way
// to run the outside tools that check our files.

#include "core/dates.h"
#include "core/fielddef.h"

#include <QByteArray>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace fixtures
{

// The header table Cal_jur1.dbf.
inline QVector<FieldDef> headerFields()
{
    return {MakeFieldDef(QStringLiteral("COD"), FieldType::String, 6),
            MakeFieldDef(QStringLiteral("LEMBRETE"), FieldType::String, 40),
            MakeFieldDef(QStringLiteral("DATA"), FieldType::Date),
            MakeFieldDef(QStringLiteral("DATABASE"), FieldType::Date),
            MakeFieldDef(QStringLiteral("JUROS"), FieldType::Float, 0, 4),
            MakeFieldDef(QStringLiteral("VALOR"), FieldType::Float, 0, 4)};
}

inline QVector<IndexDef> headerIndexes()
{
    IndexDef cod;
    cod.name = QStringLiteral("COD");
    cod.fields = QStringList{QStringLiteral("COD")};
    return {cod};
}

// The line table Aux_Jur1.db.
inline QVector<FieldDef> lineFields()
{
    return {MakeFieldDef(QStringLiteral("COD"), FieldType::String, 6),
            MakeFieldDef(QStringLiteral("INCR"), FieldType::AutoInc),
            MakeFieldDef(QStringLiteral("DATA"), FieldType::Date),
            MakeFieldDef(QStringLiteral("VALOR"), FieldType::Float)};
}

inline QVector<IndexDef> lineIndexes()
{
    IndexDef primary;
    primary.fields = QStringList{QStringLiteral("COD"), QStringLiteral("INCR")};
    primary.primary = primary.unique = true;
    IndexDef codData;
    codData.name = QStringLiteral("COD_DATA");
    codData.fields = QStringList{QStringLiteral("COD"), QStringLiteral("DATA")};
    codData.caseInsensitive = true;
    return {primary, codData};
}

inline QVariant day(int y, int m, int d)
{
    return DayNumber(QDate(y, m, d));
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

struct ToolRun {
    bool started = false;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolRun runTool(const QString &program, const QStringList &args,
                       const QByteArray &input = {})
{
    ToolRun run;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted())
        return run;
    run.started = true;
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

// Debian's own interpreter, where the dbfread and dbf packages live.
inline const QString python = QStringLiteral("/usr/bin/python3");

inline bool pythonHas(const QString &module)
{
    if (!QFileInfo::exists(python))
        return false;
    return runTool(python, {QStringLiteral("-c"), QStringLiteral("import ") + module}).exitCode ==
           0;
}

} // namespace fixtures
