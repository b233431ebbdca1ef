// SPDX-License-Identifier: MIT
#pragma once

#include "core/diskfile.h"
#include "core/indexfile.h"
#include "core/tablefile.h"

#include <QByteArray>
#include <QVector>

// A dBase III/IV table (.dbf, version 0x03, text in code page 1252) with its production index
// (.mdx, our own index format, one index per tag).
//
// Field types: C is String, D is Date, N and F are Float (a number field made for an Integer
// value reads back as Float), L reads as a String of "T", "F" or empty. A slot is the record
// number plus one, counted on from where the previous contents ended after empty().
//
// Writes, each straight to the file: an appended record goes after the last one together with
// the end-of-file byte, and only then the header's record count grows; an update rewrites the
// record in place; a delete marks the record '*' and keeps it counted, as dBase does; empty()
// writes a header with no records and cuts the file after it.
class DbaseFile : public TableFile
{
public:
    DbaseFile() = default;
    ~DbaseFile() override = default;

    void open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return m_file.isOpen(); }
    QString path() const override { return m_path; }

    QVector<FieldDef> fields() const override;
    QVector<IndexDef> indexes() const override;
    qsizetype recordCount() const override;
    void readRecords(const RecordReader &take) const override;
    QVector<quint32> indexOrder(const QString &indexName) const override;

    quint32 append(RecordValues &values) override;
    void update(quint32 slot, const RecordValues &values) override;
    void remove(quint32 slot) override;
    void empty() override;

    static void create(const QString &path, const QVector<FieldDef> &fields,
                       const QVector<IndexDef> &indexes);

private:
    struct Column {
        FieldDef def;
        char type = 'C'; // the letter on disk
        int offset = 0;  // in the record, after the deletion flag
        int length = 0;
        int decimals = 0;
    };
    struct Row {
        RecordValues values;
        bool deleted = false;
    };
    struct Tag {
        QVector<int> columns;
    };

    void parse(const QByteArray &bytes);
    RecordValues decode(const char *record, int recordNumber) const;
    QByteArray encode(const RecordValues &values) const;
    void openIndexes();
    QByteArray entry(int tag, int recordNumber) const;
    QByteArray entry(int tag, int recordNumber, const RecordValues &values) const;
    QByteArray liveEntries(int tag) const; // one entry per live record, in record order
    void checkUnique(const RecordValues &values, int recordNumber) const;
    int recordNumber(quint32 slot) const;
    void writeCount(quint32 count);

    QString m_path;
    DiskFile m_file;
    QByteArray m_header; // header bytes up to the first record
    int m_headerLength = 0;
    int m_recordLength = 0;
    QVector<Column> m_columns;
    QVector<Row> m_rows; // every record on disk by number, deleted ones included
    quint32 m_slotBase = 0;

    QString m_indexPath;
    IndexFile m_index;
    QVector<Tag> m_tags; // parallel to m_index.indexes()
};
