// SPDX-License-Identifier: MIT
#pragma once

#include "core/diskfile.h"
#include "core/fielddef.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QVector>

// What the entries of an index stand for.
enum class IndexKind : quint8 {
    Records = 1,    // one entry per record: key + reference to the record, sorted
    Blocks = 2,     // one entry per data block: first key + block number + record count
    Definition = 3, // no entries: the file only names the index (the .yg file)
};

// Our own index file (.mdx, .px, .xgN, .ygN), laid out in docs/index-files.md: a header, a
// directory of the indexes it holds, then each index's fixed-width entries back to back.
//
// The entries live in memory and every change is written at once in place: the bytes from the
// first changed entry to the end of the file, then the entry count. A change that cannot be
// written never fails the operation: the file is only an index, checked against the data on the
// next open; the next change tries to write the whole file anew.
class IndexFile
{
public:
    struct Index {
        IndexDef def;
        IndexKind kind = IndexKind::Records;
        int keyWidth = 0;   // leading bytes of an entry that make its key
        int entryWidth = 0; // key + reference
        QByteArray entries; // count() entries of entryWidth bytes, in index order

        int count() const { return entryWidth > 0 ? int(entries.size() / entryWidth) : 0; }
        QByteArrayView entry(int i) const
        {
            return QByteArrayView(entries).sliced(qsizetype(i) * entryWidth, entryWidth);
        }
    };

    IndexFile() = default;
    IndexFile(const IndexFile &) = delete;
    IndexFile &operator=(const IndexFile &) = delete;

    // Reads `path`. Returns false, with the reason in `why`, when the file is missing, damaged,
    // foreign or made for another data file than `dataName`. Keeps the file open for changes.
    // When the entries do not add up to the file's size (a change that did not finish) the
    // definitions are still read, the entries left empty and isStale() is true.
    bool load(const QString &path, const QString &dataName, QString *why = nullptr);
    bool isStale() const { return m_stale; }
    // Writes the whole file anew (beside it, then renamed over it) and keeps it open.
    void save(const QString &path, const QString &dataName, const QVector<Index> &indexes);
    // The same without throwing: false when the file could not be written.
    bool trySave(const QString &path, const QString &dataName, const QVector<Index> &indexes);
    void close();

    QString path() const { return m_path; }
    const QVector<Index> &indexes() const { return m_indexes; }
    const Index &index(int i) const { return m_indexes[i]; }
    int find(const QString &name) const; // by name, letter case ignored; -1 when absent

    // Sorted indexes: the position where `entry` belongs (the first entry not less than it).
    int lowerBound(int index, QByteArrayView entry) const;
    // True when an entry other than `except` has the key of `entry`.
    bool hasKey(int index, QByteArrayView entry, QByteArrayView except = {}) const;
    void insertSorted(int index, QByteArrayView entry);
    void removeSorted(int index, QByteArrayView entry);
    void replaceSorted(int index, QByteArrayView oldEntry, QByteArrayView newEntry);

    // Positional changes, for block indexes.
    void insertAt(int index, int position, QByteArrayView entry);
    void setAt(int index, int position, QByteArrayView entry);
    void removeAt(int index, int position);
    // Replaces all entries of every index and writes the whole file anew.
    void setAll(const QVector<QByteArray> &entries);

    // The index file `extension` (".mdx", ".px", ...) beside a data file, found without regard
    // to letter case; when there is none, the data file's base name with `extension`.
    static QString pathBeside(const QString &dataPath, const QString &extension);
    // Sorts `count` entries of `width` bytes by their bytes.
    static QByteArray sorted(const QByteArray &entries, int width);
    // True when the entries of `index` are sorted and are exactly `entries` (of the index's entry
    // width, in any order): what a sorted index built from `entries` would hold.
    static bool holdsSorted(const Index &index, const QByteArray &entries);

    // Encodes the file for `indexes`; the layout documented in docs/index-files.md.
    static QByteArray encode(const QString &dataName, const QVector<Index> &indexes);

private:
    qint64 entryOffset(int index, int position) const;
    void writeRange(int index, int first, int last);
    void writeTail(int index, int position, qint64 oldSize);
    void writeCount(int index);
    void writeFailed();
    bool retry();

    QString m_path;
    QString m_dataName;
    QVector<Index> m_indexes;
    DiskFile m_file;
    bool m_stale = false;
    bool m_dirty = false; // an in-place write failed: the next change writes the whole file
};
