// SPDX-License-Identifier: MIT
#pragma once

#include "core/fielddef.h"

#include <QString>
#include <QVector>
#include <functional>
#include <memory>

// One table's files on disk: the data file and its index files. The engine keeps the records
// of an open table in memory (Table) and writes every change through this interface at once.
//
// Records are addressed by a slot: an opaque number the file gives a record when it is read or
// appended and keeps while the file is open, whatever moves on disk.
//
// Every write keeps the files readable if the process dies at any moment: record bytes first,
// counts last. Index files are kept in step on every write, checked on open and rebuilt from
// the data file when they are missing, stale or foreign; a data file is never refused over an
// index file. Every failure throws EngineError with a message that names the file.
class TableFile
{
public:
    struct Record {
        quint32 slot = 0;
        RecordValues values;
    };

    virtual ~TableFile() = default;

    // Opens an existing table; `path` is the data file. Reads structure and all live records.
    virtual void open(const QString &path) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString path() const = 0;

    virtual QVector<FieldDef> fields() const = 0;
    virtual QVector<IndexDef> indexes() const = 0;
    // Live records in physical order.
    QVector<Record> records() const;
    virtual qsizetype recordCount() const = 0; // live records
    // The same one at a time: `take` gets each record's slot and values, and may move the
    // values out.
    using RecordReader = std::function<void(quint32 slot, RecordValues &values)>;
    virtual void readRecords(const RecordReader &take) const = 0;
    // The slots of all live records in the order of the named index (tag name, or "" for a
    // Paradox primary index), as the index file holds it.
    virtual QVector<quint32> indexOrder(const QString &indexName) const = 0;

    // Stores a new record and returns its slot. An AutoInc field left empty is numbered here
    // (and the number written into `values`).
    virtual quint32 append(RecordValues &values) = 0;
    virtual void update(quint32 slot, const RecordValues &values) = 0;
    virtual void remove(quint32 slot) = 0;
    // Removes all records; structure, index definitions and file names stay.
    virtual void empty() = 0;

    // The kind of file for a data file name: ".dbf" gives dBase, ".db" gives Paradox.
    static std::unique_ptr<TableFile> forPath(const QString &path);
    // Creates a new empty table (data file and index files), replacing files of those names.
    static void create(const QString &path, const QVector<FieldDef> &fields,
                       const QVector<IndexDef> &indexes);

protected:
    // The engine's errors of every file kind: "Table is not open" while closed, and a damaged
    // file named with what is wrong with it.
    void checkOpen() const;
    [[noreturn]] void corrupt(const QString &reason) const;
};

// Finds `name` in `folder` without regard to letter case. Returns the path of the existing file
// when there is one, otherwise folder/name as given.
QString ResolveFileName(const QString &folder, const QString &name);
