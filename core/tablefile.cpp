// SPDX-License-Identifier: MIT
#include "core/tablefile.h"

#include "core/dbasefile.h"
#include "core/errors.h"
#include "core/paradoxfile.h"

#include <QDir>
#include <QFileInfo>

namespace
{

enum class Kind { Dbase, Paradox };

Kind kindOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("dbf"), Qt::CaseInsensitive) == 0)
        return Kind::Dbase;
    if (suffix.compare(QLatin1String("db"), Qt::CaseInsensitive) == 0)
        return Kind::Paradox;
    throw EngineError(QStringLiteral("Unknown table type: %1").arg(path));
}

} // namespace

QVector<TableFile::Record> TableFile::records() const
{
    QVector<Record> result;
    result.reserve(recordCount());
    readRecords([&result](quint32 slot, RecordValues &values) {
        result.append(Record{slot, std::move(values)});
    });
    return result;
}

std::unique_ptr<TableFile> TableFile::forPath(const QString &path)
{
    if (kindOf(path) == Kind::Dbase)
        return std::make_unique<DbaseFile>();
    return std::make_unique<ParadoxFile>();
}

void TableFile::create(const QString &path, const QVector<FieldDef> &fields,
                       const QVector<IndexDef> &indexes)
{
    if (kindOf(path) == Kind::Dbase)
        DbaseFile::create(path, fields, indexes);
    else
        ParadoxFile::create(path, fields, indexes);
}

QString ResolveFileName(const QString &folder, const QString &name)
{
    const QDir dir(folder);
    const QString given = dir.filePath(name);
    if (QFileInfo::exists(given))
        return given;
    const QStringList entries = dir.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries)
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    return given;
}

void TableFile::checkOpen() const
{
    if (!isOpen())
        throw EngineError(QStringLiteral("Table is not open"));
}

void TableFile::corrupt(const QString &reason) const
{
    throw EngineError(QStringLiteral("Corrupt table file %1: %2").arg(path(), reason));
}
