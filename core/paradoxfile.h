// SPDX-License-Identifier: MIT
#pragma once

#include "core/diskfile.h"
#include "core/indexfile.h"
#include "core/tablefile.h"

#include <QByteArray>
#include <QHash>
#include <QVector>
#include <memory>
#include <vector>

// A Paradox 7 table (.db) with its primary index (.px) and secondary indexes (.xgN with the
// sorted entries, .ygN naming the index), the index files in our own format.
//
// Field types: A is String, D is Date, S and I are Integer, + is AutoInc, N and $ are Float,
// L reads as a String of "T", "F" or empty. A slot is a number given to each record when it is
// read or appended, kept however the record moves on disk.
//
// A keyed table keeps its records sorted by key in a chain of blocks. A record whose key comes
// after the last goes into the last block (or a new block after it): the record bytes first,
// then the block's count or the link to the new block, then the header. An update that keeps the
// record's place rewrites it in place; a delete rewrites its block. Anything else (a record that
// belongs in the middle, a block that would become empty, a table another program left unsorted)
// writes the whole table anew beside it and renames it over the old one.
class ParadoxFile : public TableFile
{
public:
    ParadoxFile() = default;
    ~ParadoxFile() override;

    void open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return m_file.isOpen(); }
    QString path() const override { return m_path; }

    QVector<FieldDef> fields() const override;
    QVector<IndexDef> indexes() const override;
    qsizetype recordCount() const override { return m_rows.size(); }
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
        quint8 type = 0; // the type code on disk
        int offset = 0;
        int size = 0;
    };
    // A record: its bytes, decoded when they are asked for, and its key.
    struct Row {
        QByteArray raw; // the record bytes on disk
        QByteArray key; // the primary key as index bytes
        int block = 0;  // position of its block in the chain
    };
    // The rows by slot. Slots are handed out in rising order from the first slot of the open
    // file, so the rows sit in a vector by slot; a removed row leaves an empty place.
    class Rows
    {
    public:
        void reset(quint32 firstSlot)
        {
            m_first = firstSlot;
            m_rows.clear();
            m_live.clear();
            m_count = 0;
        }
        void reserve(qsizetype count)
        {
            m_rows.reserve(size_t(count));
            m_live.reserve(size_t(count));
        }
        qsizetype size() const { return m_count; }
        bool contains(quint32 slot) const
        {
            return slot >= m_first && slot - m_first < m_live.size() && m_live[slot - m_first];
        }
        const Row &at(quint32 slot) const { return m_rows[slot - m_first]; } // a live slot
        Row &operator[](quint32 slot) { return m_rows[slot - m_first]; }     // a live slot
        void insert(quint32 slot, Row row)
        {
            const size_t i = slot - m_first;
            if (i >= m_rows.size()) {
                m_rows.resize(i + 1);
                m_live.resize(i + 1, false);
            }
            m_count += m_live[i] ? 0 : 1;
            m_rows[i] = std::move(row);
            m_live[i] = true;
        }
        void remove(quint32 slot)
        {
            if (!contains(slot))
                return;
            m_rows[slot - m_first] = Row();
            m_live[slot - m_first] = false;
            --m_count;
        }
        template <typename F> void forEach(F f) const
        {
            for (size_t i = 0; i < m_rows.size(); ++i)
                if (m_live[i])
                    f(m_first + quint32(i), m_rows[i]);
        }

    private:
        quint32 m_first = 1;
        std::vector<Row> m_rows;
        std::vector<char> m_live;
        qsizetype m_count = 0;
    };
    struct Block {
        quint16 number = 0;
        QVector<quint32> held;
    };
    struct Secondary {
        IndexDef def;
        QVector<int> columns;
        int keyWidth = 0;                // the index's own key, before the primary key
        std::unique_ptr<IndexFile> file; // the .xgN; index 0 holds the entries
    };

    void parse(const QByteArray &bytes);
    void repairHeader(qint64 fileSize);
    void openIndexes();
    void openPrimary(const QString &dataName);
    void openSecondaries(const QString &dataName);
    // Throws when a record read from the file holds what no value gives (a date out of range).
    void check(const char *record, int recordNumber) const;
    RecordValues decode(const char *record) const;
    // The same into `values`. `texts` holds the texts of `previous`, a record decoded just
    // before: equal texts share their copies, and `texts` is brought up to this record.
    void decodeInto(RecordValues &values, const char *record, const char *previous,
                    RecordValues &texts) const;
    QVariant decodeColumn(const char *record, int column) const;
    // The key bytes of a column's value, straight from the record's bytes.
    void writeColumnKey(char *out, const char *record, int column, bool caseInsensitive) const;
    qint64 numberOf(const Row &row) const; // the auto-increment number, 0 when none
    QByteArray encode(const RecordValues &values) const;
    void writeKeyOf(char *out, const char *record) const; // the primary key
    QByteArray secondaryEntry(const Secondary &s, const Row &row) const;
    void writeSecondaryEntry(char *out, const Secondary &s, const Row &row) const;
    QByteArray blockEntry(int block) const;
    QVector<QByteArray> blockEntries() const;
    Row makeRow(RecordValues &values) const;
    void checkUnique(const Row &row, const Row *old) const;
    bool keyTaken(const QByteArray &key) const;
    bool fitsAfterLast(const QByteArray &key) const;
    bool keepsPlace(quint32 slot, const QByteArray &key) const;
    std::vector<quint32> chainOrder() const;
    void rewrite(Rows rows, std::vector<quint32> order);
    void putCounts(QByteArray &header, quint32 records, quint16 blocks, quint16 first,
                   quint16 last) const;
    void writeHeader();
    qint64 blockOffset(quint16 number) const;
    Row &row(quint32 slot);

    QString m_path;
    DiskFile m_file;
    // The file as it was read: the rows read then refer to their bytes and keys here, without
    // a copy each. Declared before the rows, so that it outlives them.
    QByteArray m_bytesRead;
    QByteArray m_keysRead;
    QByteArray m_header;
    int m_headerSize = 0;
    int m_recordSize = 0;
    int m_blockSize = 0;
    int m_perBlock = 0;
    int m_keyFields = 0;
    int m_keyWidth = 0; // bytes of the primary key
    quint16 m_fileBlocks = 0;
    QVector<Column> m_columns;
    int m_autoIncColumn = -1;
    qint64 m_autoInc = 0; // the largest number handed out or in use

    Rows m_rows;
    QVector<Block> m_chain;
    quint32 m_nextSlot = 1;
    bool m_regular = true; // sorted, no empty blocks: changes may be written in place

    QString m_primaryPath;
    IndexFile m_primary;
    std::vector<Secondary> m_secondaries;
};
