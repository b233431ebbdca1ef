// SPDX-License-Identifier: MIT
#pragma once

// What the two fuzz targets share: one fuzz input holds a table's data file and its index files
// one after the other, split by kNextFile; each input is written into a folder of its own and
// opened with the file layer, and whatever opens is read, changed and opened again.

#include "core/errors.h"
#include "core/tablefile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

namespace fuzz
{

inline constexpr char kNextFile[] = "====CHEQUES-NEXT-FILE====";

// Splits an input into at most `count` files; a file that the input does not reach is absent.
inline QList<QByteArray> splitFiles(const uint8_t *data, size_t size, int count)
{
    const QByteArrayView all(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArrayView marker(kNextFile);
    QList<QByteArray> files;
    qsizetype at = 0;
    while (files.size() < count) {
        const qsizetype next = files.size() + 1 < count ? all.indexOf(marker, at) : -1;
        files.append(all.sliced(at, (next < 0 ? all.size() : next) - at).toByteArray());
        if (next < 0)
            break;
        at = next + marker.size();
    }
    return files;
}

inline QByteArray joinFiles(const QList<QByteArray> &files)
{
    QByteArray out;
    for (int i = 0; i < files.size(); ++i) {
        if (i > 0)
            out.append(kNextFile);
        out.append(files[i]);
    }
    return out;
}

// A folder for the whole run, in memory where the system has such a folder.
inline QString folder()
{
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/cheques-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/cheques-fuzz-XXXXXX"));
    return dir.path();
}

// Writes `files` under `names` into the folder, and removes the names that have no file.
inline void placeFiles(const QStringList &names, const QList<QByteArray> &files)
{
    const QDir dir(folder());
    for (const QString &entry : dir.entryList(QDir::Files))
        QFile::remove(dir.filePath(entry));
    for (int i = 0; i < names.size() && i < files.size(); ++i) {
        QFile f(dir.filePath(names[i]));
        if (f.open(QIODevice::WriteOnly))
            f.write(files[i]);
    }
}

// A value of each kind for a new record.
inline RecordValues sampleRecord(const QVector<FieldDef> &fields, int n)
{
    RecordValues values;
    for (const FieldDef &f : fields) {
        switch (f.type) {
        case FieldType::String:
            values.append(QStringLiteral("ç%1").arg(n).left(std::max(1, f.size)));
            break;
        case FieldType::Integer:
            values.append(n);
            break;
        case FieldType::AutoInc:
            values.append(QVariant());
            break;
        case FieldType::Date:
            values.append(45000 + n);
            break;
        case FieldType::Float:
            values.append(n * 1.25);
            break;
        }
    }
    return values;
}

inline void readAll(const TableFile &file)
{
    (void)file.fields();
    const QVector<TableFile::Record> records = file.records();
    for (const IndexDef &index : file.indexes()) {
        const QVector<quint32> order = file.indexOrder(index.name);
        // An index lists each record once at most.
        if (order.size() > records.size())
            __builtin_trap();
    }
}

// Every change may be refused with an EngineError; nothing else may go wrong.
template <typename Change> void tryChange(Change change)
{
    try {
        change();
    } catch (const EngineError &) {
    }
}

// Opens the data file `name` of the folder; when it opens, reads everything, changes it, and
// opens it again: a table that the file layer has written must always open again.
inline void exercise(const QString &name)
{
    const QString path = QDir(folder()).filePath(name);
    std::unique_ptr<TableFile> file = TableFile::forPath(path);
    try {
        file->open(path);
    } catch (const EngineError &) {
        return; // refused with a message: what a reader of bad files must do
    }
    readAll(*file);
    const QVector<FieldDef> fields = file->fields();
    tryChange([&] {
        RecordValues values = sampleRecord(fields, 1);
        file->append(values);
    });
    tryChange([&] {
        const QVector<TableFile::Record> records = file->records();
        if (records.size() > 1)
            file->update(records.front().slot, records.back().values);
        else if (!records.isEmpty())
            file->update(records.front().slot, sampleRecord(fields, 2));
    });
    tryChange([&] {
        const QVector<TableFile::Record> records = file->records();
        if (!records.isEmpty())
            file->remove(records[records.size() / 2].slot);
    });
    readAll(*file);
    const int kept = int(file->records().size());
    file->close();
    try {
        file->open(path);
    } catch (const EngineError &) {
        __builtin_trap(); // a table we wrote does not open again
    }
    if (file->records().size() != kept)
        __builtin_trap(); // records lost or gained between writing and reading
    readAll(*file);
    tryChange([&] { file->empty(); });
    tryChange([&] {
        RecordValues values = sampleRecord(fields, 3);
        file->append(values);
    });
    file->close();
}

} // namespace fuzz
