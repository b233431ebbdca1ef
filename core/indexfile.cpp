// SPDX-License-Identifier: MIT
#include "core/indexfile.h"

#include "core/codepage.h"
#include "core/errors.h"
#include "core/tablefile.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace
{

constexpr char kMagic[8] = {'C', 'H', 'Q', 'I', 'N', 'D', 'E', 'X'};
constexpr quint16 kVersion = 1;
constexpr int kHeaderSize = 96;
constexpr int kDataNameSize = 64;
constexpr int kDirectorySize = 176;
constexpr int kNameSize = 32;
constexpr int kFieldsSize = 128;
constexpr int kMaxIndexes = 64;
constexpr int kMaxEntryWidth = 4096;

constexpr quint8 kPrimary = 0x01;
constexpr quint8 kUnique = 0x02;
constexpr quint8 kCaseInsensitive = 0x04;

// A NUL-terminated text inside a fixed area; false when the area holds no NUL.
bool readName(const char *area, int size, QString *text)
{
    const void *end = std::memchr(area, 0, size_t(size));
    if (!end)
        return false;
    *text = FromCp1252(area, static_cast<const char *>(end) - area);
    return true;
}

void putName(char *area, int size, const QString &text)
{
    const QByteArray bytes = ToCp1252(text).left(size - 1);
    std::memcpy(area, bytes.constData(), size_t(bytes.size()));
}

// The data file name as the header can hold it.
QString storedDataName(const QString &dataName)
{
    return FromCp1252(ToCp1252(dataName).left(kDataNameSize - 1));
}

} // namespace

QByteArray IndexFile::encode(const QString &dataName, const QVector<Index> &indexes)
{
    const int headerSize = kHeaderSize + kDirectorySize * int(indexes.size());
    QByteArray out(headerSize, '\0');
    char *p = out.data();
    std::memcpy(p, kMagic, 8);
    qToLittleEndian<quint16>(kVersion, p + 8);
    qToLittleEndian<quint16>(quint16(headerSize), p + 10);
    qToLittleEndian<quint16>(quint16(indexes.size()), p + 12);
    putName(p + 16, kDataNameSize, dataName);
    for (int i = 0; i < indexes.size(); ++i) {
        const Index &index = indexes[i];
        char *d = p + kHeaderSize + kDirectorySize * i;
        putName(d, kNameSize, index.def.name);
        d[32] = char(index.kind);
        d[33] = char((index.def.primary ? kPrimary : 0) | (index.def.unique ? kUnique : 0) |
                     (index.def.caseInsensitive ? kCaseInsensitive : 0));
        qToLittleEndian<quint16>(quint16(index.keyWidth), d + 34);
        qToLittleEndian<quint16>(quint16(index.entryWidth), d + 36);
        qToLittleEndian<quint32>(quint32(index.count()), d + 40);
        putName(d + 48, kFieldsSize, index.def.fields.join(QLatin1Char(';')));
    }
    for (const Index &index : indexes)
        out.append(index.entries);
    return out;
}

bool IndexFile::load(const QString &path, const QString &dataName, QString *why)
{
    close();
    m_path = path;
    m_dataName = dataName;
    m_indexes.clear();
    m_dirty = false;
    m_stale = false;
    // A file that cannot be used is left alone until the table writes a new one.
    auto refuse = [this, why](const QString &reason) {
        m_path.clear();
        if (why)
            *why = reason;
        return false;
    };

    QString error;
    if (!m_file.tryOpen(path, &error))
        return refuse(error);
    QByteArray bytes;
    try {
        bytes = m_file.readAll();
    } catch (const EngineError &e) {
        m_file.close();
        return refuse(e.message());
    }
    auto fail = [&](const char *reason) {
        m_file.close();
        m_indexes.clear();
        return refuse(QStringLiteral("Index file %1 %2").arg(path, QLatin1String(reason)));
    };

    const qint64 size = bytes.size();
    const char *p = bytes.constData();
    if (size < kHeaderSize || std::memcmp(p, kMagic, 8) != 0)
        return fail("is not an index file of this program");
    if (qFromLittleEndian<quint16>(p + 8) != kVersion)
        return fail("has another format version");
    const int count = qFromLittleEndian<quint16>(p + 12);
    const int headerSize = qFromLittleEndian<quint16>(p + 10);
    if (count > kMaxIndexes || headerSize != kHeaderSize + kDirectorySize * count ||
        headerSize > size)
        return fail("has a damaged header");
    QString storedName;
    if (!readName(p + 16, kDataNameSize, &storedName))
        return fail("has a damaged header");
    if (storedName.compare(storedDataName(dataName), Qt::CaseInsensitive) != 0)
        return fail("belongs to another table");

    // The directory names the indexes; the entries after it may be stale (a change that did
    // not finish): then they are dropped here and built again by the table from its data.
    qint64 expected = headerSize;
    QVector<Index> indexes;
    QVector<qint64> lengths;
    for (int i = 0; i < count; ++i) {
        const char *d = p + kHeaderSize + kDirectorySize * i;
        Index index;
        QString fields;
        if (!readName(d, kNameSize, &index.def.name) || !readName(d + 48, kFieldsSize, &fields))
            return fail("has a damaged directory");
        const auto kind = quint8(d[32]);
        const auto flags = quint8(d[33]);
        if (kind < 1 || kind > 3 || (flags & ~(kPrimary | kUnique | kCaseInsensitive)))
            return fail("has a damaged directory");
        index.kind = IndexKind(kind);
        index.def.primary = flags & kPrimary;
        index.def.unique = flags & kUnique;
        index.def.caseInsensitive = flags & kCaseInsensitive;
        index.def.fields = fields.split(QLatin1Char(';'));
        if (fields.isEmpty() || index.def.fields.contains(QString()))
            return fail("has a damaged directory");
        index.keyWidth = qFromLittleEndian<quint16>(d + 34);
        index.entryWidth = qFromLittleEndian<quint16>(d + 36);
        if (index.kind != IndexKind::Definition &&
            (index.keyWidth < 1 || index.keyWidth > index.entryWidth ||
             index.entryWidth > kMaxEntryWidth))
            return fail("has a damaged directory");
        const quint32 entries = qFromLittleEndian<quint32>(d + 40);
        if (index.kind == IndexKind::Definition && entries != 0)
            return fail("has a damaged directory");
        lengths.append(qint64(entries) * index.entryWidth);
        expected += lengths.back();
        indexes.append(index);
    }
    m_stale = expected != size;
    qint64 at = headerSize;
    for (int i = 0; i < indexes.size() && !m_stale; ++i) {
        indexes[i].entries = bytes.mid(at, lengths[i]);
        at += lengths[i];
    }
    m_indexes = indexes;
    return true;
}

void IndexFile::save(const QString &path, const QString &dataName, const QVector<Index> &indexes)
{
    // The file already open is written over in place: a write cut short leaves an index that
    // the next open finds stale and rebuilds. Any other is put in place whole.
    const bool inPlace = m_file.isOpen() && m_file.path() == path && !m_dirty;
    if (!inPlace)
        close();
    m_path = path;
    m_dataName = dataName;
    m_indexes = indexes;
    m_dirty = true;
    m_stale = false;
    for (const Index &index : indexes) {
        if (ToCp1252(index.def.name).size() >= kNameSize ||
            ToCp1252(index.def.fields.join(QLatin1Char(';'))).size() >= kFieldsSize)
            throw EngineError(
                QStringLiteral("Cannot write index file %1: the definition of index %2 is too long")
                    .arg(path, index.def.name));
    }
    const QByteArray bytes = encode(dataName, indexes);
    if (inPlace) {
        try {
            m_file.writeAt(0, bytes);
            m_file.truncate(bytes.size());
            m_dirty = false;
            return;
        } catch (const EngineError &) {
            close();
        }
    }
    DiskFile::replace(path, bytes, DiskFile::Durability::Checked);
    m_file.open(path);
    m_dirty = false;
}

bool IndexFile::trySave(const QString &path, const QString &dataName, const QVector<Index> &indexes)
{
    try {
        save(path, dataName, indexes);
        return true;
    } catch (const EngineError &) {
        m_file.close();
        return false;
    }
}

void IndexFile::close()
{
    m_file.close();
}

int IndexFile::find(const QString &name) const
{
    for (int i = 0; i < m_indexes.size(); ++i)
        if (m_indexes[i].def.name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int IndexFile::lowerBound(int index, QByteArrayView entry) const
{
    const Index &ix = m_indexes[index];
    const int width = ix.entryWidth;
    const char *base = ix.entries.constData();
    const auto size = size_t(std::min<qsizetype>(entry.size(), width));
    int lo = 0, hi = ix.count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const int c = std::memcmp(base + qsizetype(mid) * width, entry.data(), size);
        if (c < 0 || (c == 0 && entry.size() > width))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

bool IndexFile::hasKey(int index, QByteArrayView entry, QByteArrayView except) const
{
    const Index &ix = m_indexes[index];
    const QByteArrayView key = entry.first(ix.keyWidth);
    for (int i = lowerBound(index, key); i < ix.count(); ++i) {
        const QByteArrayView e = ix.entry(i);
        if (e.first(ix.keyWidth) != key)
            return false;
        if (e != except)
            return true;
    }
    return false;
}

void IndexFile::insertSorted(int index, QByteArrayView entry)
{
    insertAt(index, lowerBound(index, entry), entry);
}

void IndexFile::removeSorted(int index, QByteArrayView entry)
{
    const int position = lowerBound(index, entry);
    if (position < m_indexes[index].count() && m_indexes[index].entry(position) == entry)
        removeAt(index, position);
}

void IndexFile::replaceSorted(int index, QByteArrayView oldEntry, QByteArrayView newEntry)
{
    if (oldEntry == newEntry)
        return;
    Index &ix = m_indexes[index];
    const int from = lowerBound(index, oldEntry);
    if (from >= ix.count() || ix.entry(from) != oldEntry) {
        insertSorted(index, newEntry);
        return;
    }
    const QByteArray entry = newEntry.toByteArray();
    ix.entries.remove(qsizetype(from) * ix.entryWidth, ix.entryWidth);
    const int to = lowerBound(index, entry);
    ix.entries.insert(qsizetype(to) * ix.entryWidth, entry);
    // Only the entries between the old and the new place moved.
    writeRange(index, std::min(from, to), std::max(from, to));
}

void IndexFile::insertAt(int index, int position, QByteArrayView entry)
{
    Index &ix = m_indexes[index];
    const qint64 oldSize = entryOffset(int(m_indexes.size()), 0);
    ix.entries.insert(qsizetype(position) * ix.entryWidth, entry.data(), ix.entryWidth);
    writeTail(index, position, oldSize);
}

void IndexFile::setAt(int index, int position, QByteArrayView entry)
{
    Index &ix = m_indexes[index];
    std::memcpy(ix.entries.data() + qsizetype(position) * ix.entryWidth, entry.data(),
                size_t(ix.entryWidth));
    writeRange(index, position, position);
}

void IndexFile::removeAt(int index, int position)
{
    Index &ix = m_indexes[index];
    const qint64 oldSize = entryOffset(int(m_indexes.size()), 0);
    ix.entries.remove(qsizetype(position) * ix.entryWidth, ix.entryWidth);
    writeTail(index, position, oldSize);
}

void IndexFile::setAll(const QVector<QByteArray> &entries)
{
    // A file that holds these entries already is not written again.
    bool same = !m_dirty && !m_stale && m_file.isOpen();
    for (int i = 0; i < m_indexes.size() && i < entries.size(); ++i) {
        same = same && m_indexes[i].entries == entries[i];
        m_indexes[i].entries = entries[i];
    }
    if (same)
        return;
    if (!m_path.isEmpty())
        m_dirty = !trySave(m_path, m_dataName, m_indexes);
}

qint64 IndexFile::entryOffset(int index, int position) const
{
    qint64 offset = kHeaderSize + qint64(kDirectorySize) * m_indexes.size();
    for (int i = 0; i < index; ++i)
        offset += m_indexes[i].entries.size();
    if (index < m_indexes.size())
        offset += qint64(position) * m_indexes[index].entryWidth;
    return offset;
}

void IndexFile::writeRange(int index, int first, int last)
{
    if (retry())
        return;
    const Index &ix = m_indexes[index];
    try {
        m_file.writeAt(entryOffset(index, first),
                       QByteArrayView(ix.entries)
                           .sliced(qsizetype(first) * ix.entryWidth,
                                   qsizetype(last - first + 1) * ix.entryWidth));
    } catch (const EngineError &) {
        writeFailed();
    }
}

void IndexFile::writeTail(int index, int position, qint64 oldSize)
{
    if (retry())
        return;
    try {
        // Everything from the first changed entry to the end of the file, in one write; taken
        // straight from the entries when this is the last index of the file.
        const QByteArray &entries = m_indexes[index].entries;
        QByteArrayView tail = QByteArrayView(entries).sliced(
            std::min(qsizetype(position) * m_indexes[index].entryWidth, entries.size()));
        QByteArray joined;
        if (index + 1 < m_indexes.size()) {
            joined = tail.toByteArray();
            for (int i = index + 1; i < m_indexes.size(); ++i)
                joined.append(m_indexes[i].entries);
            tail = joined;
        }
        const qint64 offset = entryOffset(index, position);
        if (!tail.isEmpty())
            m_file.writeAt(offset, tail);
        const qint64 newSize = offset + tail.size();
        if (newSize < oldSize)
            m_file.truncate(newSize);
        writeCount(index);
    } catch (const EngineError &) {
        writeFailed();
    }
}

void IndexFile::writeCount(int index)
{
    char count[4];
    qToLittleEndian<quint32>(quint32(m_indexes[index].count()), count);
    m_file.writeAt(kHeaderSize + qint64(kDirectorySize) * index + 40, QByteArrayView(count, 4));
}

void IndexFile::writeFailed()
{
    m_file.close();
    m_dirty = true;
}

// Returns true when the change needs no in-place write: the file is not kept (never loaded or
// saved), or an earlier write failed and the whole file has just been written anew instead.
bool IndexFile::retry()
{
    if (m_path.isEmpty())
        return true;
    if (!m_dirty && m_file.isOpen())
        return false;
    m_dirty = !trySave(m_path, m_dataName, m_indexes);
    return true;
}

QString IndexFile::pathBeside(const QString &dataPath, const QString &extension)
{
    const QFileInfo data(dataPath);
    return ResolveFileName(data.path(), data.completeBaseName() + extension);
}

namespace
{

// A 64-bit hash of one entry: FNV-1a over its bytes, then mixed (the splitmix64 finaliser) so
// that sums of hashes tell sets apart.
quint64 entryHash(const char *p, int width)
{
    quint64 h = 0xcbf29ce484222325ull;
    for (int i = 0; i < width; ++i)
        h = (h ^ quint8(p[i])) * 0x100000001b3ull;
    h = (h ^ (h >> 30)) * 0xbf58476d1ce4e5b9ull;
    h = (h ^ (h >> 27)) * 0x94d049bb133111ebull;
    return h ^ (h >> 31);
}

quint64 setHash(const QByteArray &entries, int width)
{
    quint64 sum = 0;
    for (qsizetype at = 0; at + width <= entries.size(); at += width)
        sum += entryHash(entries.constData() + at, width);
    return sum;
}

} // namespace

bool IndexFile::holdsSorted(const Index &index, const QByteArray &entries)
{
    const int width = index.entryWidth;
    if (width <= 0 || index.entries.size() != entries.size() || entries.size() % width != 0)
        return false;
    const char *p = index.entries.constData();
    for (int i = 1; i < index.count(); ++i)
        if (std::memcmp(p + qsizetype(i - 1) * width, p + qsizetype(i) * width, size_t(width)) > 0)
            return false;
    // Sorted, as many, and the same set: then the same sorted sequence.
    return setHash(index.entries, width) == setHash(entries, width);
}

QByteArray IndexFile::sorted(const QByteArray &entries, int width)
{
    const int count = width > 0 ? int(entries.size() / width) : 0;
    QVector<const char *> order(count);
    for (int i = 0; i < count; ++i)
        order[i] = entries.constData() + qsizetype(i) * width;
    std::sort(order.begin(), order.end(), [width](const char *a, const char *b) {
        return std::memcmp(a, b, size_t(width)) < 0;
    });
    QByteArray out;
    out.reserve(entries.size());
    for (const char *e : order)
        out.append(e, width);
    return out;
}
