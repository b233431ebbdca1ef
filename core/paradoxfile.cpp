// SPDX-License-Identifier: MIT
#include "core/paradoxfile.h"

#include "core/codepage.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/indexkey.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMultiHash>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstring>

namespace
{

// Header offsets.
constexpr int kRecordSizeAt = 0x00;
constexpr int kHeaderSizeAt = 0x02;
constexpr int kFileTypeAt = 0x04;
constexpr int kMaxTableSizeAt = 0x05;
constexpr int kNumRecordsAt = 0x06;
constexpr int kNextBlockAt = 0x0A;
constexpr int kFileBlocksAt = 0x0C;
constexpr int kFirstBlockAt = 0x0E;
constexpr int kLastBlockAt = 0x10;
constexpr int kNumFieldsAt = 0x21;
constexpr int kKeyFieldsAt = 0x23;
constexpr int kEncryption1At = 0x25;
constexpr int kVersionAt = 0x39;
constexpr int kMaxBlocksAt = 0x3A;
constexpr int kAutoIncAt = 0x49;
constexpr int kFirstFreeAt = 0x4D;
constexpr int kEncryption2At = 0x5C;
// The counts, links and counter that change as records come and go, written in one piece.
constexpr int kCountsFrom = kNumRecordsAt;
constexpr int kCountsTo = kFirstFreeAt + 2;

constexpr quint8 kKeyed = 0;
constexpr quint8 kPrimaryIndexFile = 1;
constexpr quint8 kUnkeyed = 2;
constexpr quint8 kVersion7 = 0x0C;
constexpr int kBlockHeader = 6;
constexpr int kTableNameArea7 = 261;
constexpr int kTableNameAreaOld = 79;
constexpr int kMaxNameLength = 25;

// Field types on disk.
constexpr quint8 kAlpha = 0x01;
constexpr quint8 kDate = 0x02;
constexpr quint8 kShort = 0x03;
constexpr quint8 kLong = 0x04;
constexpr quint8 kMoney = 0x05;
constexpr quint8 kNumber = 0x06;
constexpr quint8 kLogical = 0x09;
constexpr quint8 kAutoInc = 0x16;

// Paradox counts days from 1 January of year 1 as day 1; our day 0 is 30 December 1899.
constexpr qint64 kDateOffset = 693594;
constexpr qint64 kLastParadoxDay = 3652059; // 31 December 9999

const char *typeName(quint8 type)
{
    switch (type) {
    case 0x0C:
        return "memo";
    case 0x0D:
        return "binary";
    case 0x0E:
        return "formatted memo";
    case 0x0F:
        return "OLE";
    case 0x10:
        return "graphic";
    case 0x14:
        return "time";
    case 0x15:
        return "timestamp";
    case 0x17:
        return "BCD";
    case 0x18:
        return "bytes";
    default:
        return nullptr;
    }
}

// The bytes of an integer-like value: big-endian with the sign bit flipped, so that zero bytes
// stay free for the empty value.
void putInteger(char *out, qint64 value, int size)
{
    quint64 bits = quint64(value) ^ (quint64(1) << (8 * size - 1));
    for (int i = size - 1; i >= 0; --i, bits >>= 8)
        out[i] = char(bits & 0xFF);
}

qint64 getInteger(const char *in, int size)
{
    quint64 bits = 0;
    for (int i = 0; i < size; ++i)
        bits = (bits << 8) | quint8(in[i]);
    bits ^= quint64(1) << (8 * size - 1);
    // Sign-extend from `size` bytes.
    const int shift = 64 - 8 * size;
    return qint64(bits << shift) >> shift;
}

// A double: big-endian, the sign bit set for values >= 0, every bit inverted for negatives.
void putDouble(char *out, double value)
{
    quint64 bits = std::bit_cast<quint64>(value);
    bits = (bits >> 63) ? ~bits : bits | (quint64(1) << 63);
    qToBigEndian<quint64>(bits, out);
}

double getDouble(const char *in)
{
    quint64 bits = qFromBigEndian<quint64>(in);
    bits = (bits >> 63) ? bits & ~(quint64(1) << 63) : ~bits;
    return std::bit_cast<double>(bits);
}

bool allZero(const char *p, int n)
{
    for (int i = 0; i < n; ++i)
        if (p[i])
            return false;
    return true;
}

bool isEmptyValue(const QVariant &v)
{
    return !v.isValid() || v.isNull() ||
           (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

struct NewField {
    QByteArray name;
    quint8 type;
    int size;
};

int blockSizeCode(int recordSize)
{
    // As pxlib chooses: small records in 2 KiB blocks, wider ones in larger blocks.
    if (recordSize < 80)
        return 2;
    if (recordSize < 140)
        return 3;
    if (recordSize <= 4 * 1024 - kBlockHeader)
        return 4;
    if (recordSize <= 16 * 1024 - kBlockHeader)
        return 16;
    return 32;
}

// The header of a new, empty Paradox 7 table, byte for byte as Paradox 7 lays it out.
QByteArray newHeader(const QVector<NewField> &fields, int keyFields, const QString &tableName)
{
    const int n = int(fields.size());
    int names = 0, recordSize = 0;
    for (const NewField &f : fields) {
        names += int(f.name.size()) + 1;
        recordSize += f.size;
    }
    const int realSize = 0x78 + 8 * n + 4 + kTableNameArea7 + names + 9;
    const int headerSize = (realSize + 0x7FF) / 0x800 * 0x800;
    QByteArray h(headerSize, '\0');
    char *p = h.data();
    qToLittleEndian<quint16>(quint16(recordSize), p + kRecordSizeAt);
    qToLittleEndian<quint16>(quint16(headerSize), p + kHeaderSizeAt);
    p[kFileTypeAt] = char(keyFields > 0 ? kKeyed : kUnkeyed);
    p[kMaxTableSizeAt] = char(blockSizeCode(recordSize));
    p[0x12] = 0x0C;
    qToLittleEndian<quint16>(quint16(n), p + kNumFieldsAt);
    qToLittleEndian<quint16>(quint16(keyFields), p + kKeyFieldsAt);
    qToLittleEndian<quint32>(0xFF00FF00u, p + kEncryption1At);
    p[0x29] = 0x62; // sort order, with "ANSIINTL" below
    p[0x2D] = 2;    // change counters as Paradox leaves them with an index
    p[0x2E] = 1;
    p[kVersionAt] = char(kVersion7);
    p[0x3E] = 0x1F;
    p[0x3F] = 0x0F;
    qToLittleEndian<quint16>(quint16(realSize), p + 0x51);
    p[0x56] = 0x20;
    qToLittleEndian<quint16>(0x010C, p + 0x58);
    qToLittleEndian<quint16>(0x010C, p + 0x5A);
    qToLittleEndian<quint32>(quint32(QDateTime::currentSecsSinceEpoch()), p + 0x60);
    qToLittleEndian<quint16>(quint16(n + 1), p + 0x64);
    qToLittleEndian<quint16>(quint16(0x20 + 6 * n + 4 + kTableNameArea7 + names), p + 0x66);
    qToLittleEndian<quint16>(1252, p + 0x6A);
    p[0x6C] = 1;
    p[0x6D] = 1;
    qToLittleEndian<quint16>(quint16(0x18 + 8 * n + 4 + kTableNameArea7 + names + 8), p + 0x6E);
    int at = 0x78;
    for (const NewField &f : fields) {
        p[at++] = char(f.type);
        p[at++] = char(f.size);
    }
    at += 4 + 4 * n; // run-time pointers, zero on disk
    const QByteArray table = ToCp1252(tableName).left(kTableNameArea7 - 1);
    std::memcpy(p + at, table.constData(), size_t(table.size()));
    at += kTableNameArea7;
    for (const NewField &f : fields) {
        std::memcpy(p + at, f.name.constData(), size_t(f.name.size()));
        at += int(f.name.size()) + 1;
    }
    for (int i = 1; i <= n; ++i, at += 2)
        qToLittleEndian<quint16>(quint16(i), p + at);
    std::memcpy(p + at, "ANSIINTL", 8);
    return h;
}

QString suffixed(const char *kind, int number)
{
    return QStringLiteral(".%1%2").arg(QLatin1String(kind)).arg(number);
}

bool sameDefinition(const IndexDef &a, const IndexDef &b)
{
    if (a.name.compare(b.name, Qt::CaseInsensitive) != 0 || a.fields.size() != b.fields.size() ||
        a.primary != b.primary || a.unique != b.unique || a.caseInsensitive != b.caseInsensitive)
        return false;
    for (int i = 0; i < a.fields.size(); ++i)
        if (a.fields[i].compare(b.fields[i], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

constexpr int kMaxSecondaries = 10;

} // namespace

ParadoxFile::~ParadoxFile() = default;

// Opening ---------------------------------------------------------------------------------------

void ParadoxFile::open(const QString &path)
{
    close();
    const QFileInfo info(path);
    const QString resolved = ResolveFileName(info.path(), info.fileName());
    m_file.open(resolved);
    m_path = resolved;
    try {
        m_bytesRead = m_file.readAll();
        parse(m_bytesRead);
        repairHeader(m_bytesRead.size());
        openIndexes();
    } catch (...) {
        close();
        throw;
    }
}

void ParadoxFile::close()
{
    m_file.close();
    m_primary.close();
    m_secondaries.clear();
    m_header.clear();
    m_columns.clear();
    m_rows.reset(1);
    m_bytesRead.clear();
    m_keysRead.clear();
    m_chain.clear();
    m_headerSize = m_recordSize = m_blockSize = m_perBlock = m_keyFields = m_keyWidth = 0;
    m_fileBlocks = 0;
    m_autoIncColumn = -1;
    m_autoInc = 0;
    m_nextSlot = 1;
    m_regular = true;
}

void ParadoxFile::parse(const QByteArray &bytes)
{
    const qint64 size = bytes.size();
    const char *p = bytes.constData();
    if (size == 0)
        corrupt(QStringLiteral("the file is empty"));
    if (size < 0x58)
        corrupt(QStringLiteral("the header is cut short"));
    const auto fileType = quint8(p[kFileTypeAt]);
    const auto version = quint8(p[kVersionAt]);
    if (fileType == kPrimaryIndexFile || (fileType >= 3 && fileType <= 8))
        corrupt(QStringLiteral("this is an index file, not a table"));
    if (fileType != kKeyed && fileType != kUnkeyed)
        corrupt(QStringLiteral("unknown file type %1, not a Paradox table").arg(fileType));
    if (version < 3 || version > kVersion7)
        corrupt(QStringLiteral("unknown version byte 0x%1, not a Paradox table")
                    .arg(QString::number(version, 16).rightJustified(2, QLatin1Char('0'))));
    const bool extended = version >= 5;
    m_recordSize = qFromLittleEndian<quint16>(p + kRecordSizeAt);
    m_headerSize = qFromLittleEndian<quint16>(p + kHeaderSizeAt);
    const int blockCode = quint8(p[kMaxTableSizeAt]);
    const int numFields = qFromLittleEndian<quint16>(p + kNumFieldsAt);
    m_keyFields = fileType == kKeyed ? qFromLittleEndian<quint16>(p + kKeyFieldsAt) : 0;
    const int fieldInfo = extended ? 0x78 : 0x58;
    if (m_headerSize < fieldInfo || m_headerSize > size)
        corrupt(QStringLiteral("the header length does not fit the file"));
    if (blockCode < 1 || blockCode > 32)
        corrupt(QStringLiteral("unknown block size %1").arg(blockCode));
    m_blockSize = blockCode * 1024;
    if (numFields < 1 || numFields > 255)
        corrupt(QStringLiteral("the header gives %1 fields").arg(numFields));
    if (m_keyFields > numFields)
        corrupt(QStringLiteral("the key has more fields than the table"));
    if ((extended && qFromLittleEndian<quint32>(p + kEncryption2At) != 0) ||
        (!extended && qFromLittleEndian<quint32>(p + kEncryption1At) != 0))
        throw EngineError(
            QStringLiteral("Cannot open table %1: the table is encrypted").arg(m_path));

    // Field types and sizes, then past the run-time pointers and the table name, the names.
    const int nameArea = version >= kVersion7 ? kTableNameArea7 : kTableNameAreaOld;
    int namesAt = fieldInfo + 6 * numFields + 4 + nameArea;
    if (namesAt > m_headerSize)
        corrupt(QStringLiteral("the header length does not fit the field list"));
    int offset = 0;
    QSet<QString> names;
    for (int i = 0; i < numFields; ++i) {
        Column c;
        c.type = quint8(p[fieldInfo + 2 * i]);
        c.size = quint8(p[fieldInfo + 2 * i + 1]);
        const void *nul = std::memchr(p + namesAt, 0, size_t(m_headerSize - namesAt));
        if (!nul)
            corrupt(QStringLiteral("the field names run past the header"));
        const int length = int(static_cast<const char *>(nul) - (p + namesAt));
        c.def.name = FromCp1252(p + namesAt, length);
        namesAt += length + 1;
        if (c.def.name.isEmpty())
            corrupt(QStringLiteral("field %1 has no name").arg(i + 1));
        if (names.contains(c.def.name.toUpper()))
            corrupt(QStringLiteral("field name %1 appears twice").arg(c.def.name));
        names.insert(c.def.name.toUpper());
        int expected = 0;
        switch (c.type) {
        case kAlpha:
            c.def.type = FieldType::String;
            c.def.size = c.size;
            expected = c.size > 0 ? c.size : -1;
            break;
        case kDate:
            c.def.type = FieldType::Date;
            expected = 4;
            break;
        case kShort:
            c.def.type = FieldType::Integer;
            expected = 2;
            break;
        case kLong:
            c.def.type = FieldType::Integer;
            expected = 4;
            break;
        case kAutoInc:
            c.def.type = FieldType::AutoInc;
            c.def.readOnly = true;
            expected = 4;
            if (m_autoIncColumn < 0)
                m_autoIncColumn = i;
            break;
        case kMoney:
        case kNumber:
            c.def.type = FieldType::Float;
            expected = 8;
            break;
        case kLogical:
            c.def.type = FieldType::String;
            c.def.size = 1;
            expected = 1;
            break;
        default:
            if (const char *kind = typeName(c.type))
                throw EngineError(
                    QStringLiteral("Cannot open table %1: field %2 is a %3 field, which this "
                                   "program does not read")
                        .arg(m_path, c.def.name, QLatin1String(kind)));
            corrupt(QStringLiteral("unknown field type 0x%1 in field %2")
                        .arg(QString::number(c.type, 16).rightJustified(2, QLatin1Char('0')),
                             c.def.name));
        }
        if (c.size != expected)
            corrupt(QStringLiteral("field %1 has size %2").arg(c.def.name).arg(c.size));
        if (c.def.type == FieldType::Float || c.def.type == FieldType::Integer)
            c.def.alignment = Qt::AlignRight;
        c.offset = offset;
        offset += c.size;
        m_columns.append(c);
    }
    if (offset != m_recordSize || m_recordSize < 1)
        corrupt(QStringLiteral("record length does not match the fields"));
    if (m_recordSize > m_blockSize - kBlockHeader)
        corrupt(QStringLiteral("record length does not fit a block"));
    m_perBlock = (m_blockSize - kBlockHeader) / m_recordSize;
    m_header = bytes.left(m_headerSize);
    m_keyWidth = 0;
    for (int i = 0; i < m_keyFields; ++i)
        m_keyWidth += KeyWidth(m_columns[i].def);

    // The chain of data blocks, each checked against the file before it is read.
    const qint64 physical = (size - m_headerSize) / m_blockSize;
    const int headerBlocks = qFromLittleEndian<quint16>(p + kFileBlocksAt);
    if (headerBlocks > physical)
        corrupt(QStringLiteral("the block count does not fit the file"));
    QVector<bool> seen(physical + 1, false);
    // As many records as the header counts, as far as the file can hold them.
    const quint32 counted = qFromLittleEndian<quint32>(p + kNumRecordsAt);
    const qint64 expected = std::min<qint64>(counted, physical * m_perBlock);
    m_rows.reset(m_nextSlot);
    m_rows.reserve(expected);
    // Room for the key of every record the blocks can hold, made once: the rows' keys refer
    // into it.
    m_keysRead = QByteArray(qsizetype(physical) * m_perBlock * m_keyWidth, '\0');
    quint32 total = 0;
    quint16 highest = 0;
    QByteArray previousKey;

    for (quint16 number = qFromLittleEndian<quint16>(p + kFirstBlockAt); number != 0;) {
        if (number > physical)
            corrupt(QStringLiteral("a block link points past the end of the file"));
        if (seen[number])
            corrupt(QStringLiteral("the block chain runs in a circle"));
        seen[number] = true;
        highest = std::max(highest, number);
        const char *block = p + blockOffset(number);
        const int used = qFromLittleEndian<qint16>(block + 4);
        if (used < -m_recordSize || used % m_recordSize != 0 ||
            used / m_recordSize + 1 > m_perBlock)
            corrupt(
                QStringLiteral("block %1 gives a record count that does not fit it").arg(number));
        const int count = used / m_recordSize + 1;
        Block b;
        b.number = number;
        if (count == 0)
            m_regular = false; // another program left an empty block linked
        for (int i = 0; i < count; ++i) {
            const char *record = block + kBlockHeader + i * m_recordSize;
            check(record, int(total) + 1);
            Row row;
            row.raw = QByteArray::fromRawData(record, m_recordSize);
            char *key = m_keysRead.data() + qsizetype(total) * m_keyWidth;
            writeKeyOf(key, record);
            row.key = QByteArray::fromRawData(key, m_keyWidth);
            row.block = int(m_chain.size());
            if (m_keyFields > 0 && row.key < previousKey)
                m_regular = false; // not sorted by key, as pxlib writes
            previousKey = row.key;
            const quint32 slot = m_nextSlot++;
            b.held.append(slot);
            m_autoInc = std::max(m_autoInc, numberOf(row));
            m_rows.insert(slot, std::move(row));
            ++total;
        }
        m_chain.append(b);
        number = qFromLittleEndian<quint16>(block);
    }
    // A process that died between the data and the header leaves the count one off.
    if (qint64(counted) - qint64(total) > 1 || qint64(total) - qint64(counted) > 1)
        corrupt(QStringLiteral("the record count does not match the data blocks"));
    m_fileBlocks = std::max<quint16>(quint16(headerBlocks), highest);
    m_autoInc = std::max<qint64>(m_autoInc, qFromLittleEndian<qint32>(p + kAutoIncAt));
}

void ParadoxFile::putCounts(QByteArray &header, quint32 records, quint16 blocks, quint16 first,
                            quint16 last) const
{
    char *p = header.data();
    qToLittleEndian<quint32>(records, p + kNumRecordsAt);
    qToLittleEndian<quint16>(blocks, p + kNextBlockAt);
    qToLittleEndian<quint16>(blocks, p + kFileBlocksAt);
    qToLittleEndian<quint16>(blocks, p + kMaxBlocksAt);
    qToLittleEndian<quint16>(first, p + kFirstBlockAt);
    qToLittleEndian<quint16>(last, p + kLastBlockAt);
    qToLittleEndian<quint32>(quint32(std::clamp<qint64>(m_autoInc, 0, INT_MAX)), p + kAutoIncAt);
}

void ParadoxFile::writeHeader()
{
    putCounts(m_header, quint32(m_rows.size()), m_fileBlocks,
              m_chain.isEmpty() ? 0 : m_chain.front().number,
              m_chain.isEmpty() ? 0 : m_chain.back().number);
    m_file.writeAt(kCountsFrom,
                   QByteArrayView(m_header).sliced(kCountsFrom, kCountsTo - kCountsFrom));
}

void ParadoxFile::repairHeader(qint64 fileSize)
{
    const QByteArray before = m_header;
    putCounts(m_header, quint32(m_rows.size()), m_fileBlocks,
              m_chain.isEmpty() ? 0 : m_chain.front().number,
              m_chain.isEmpty() ? 0 : m_chain.back().number);
    const char *a = before.constData();
    const char *b = m_header.constData();
    // Only the counts that say what the file holds; the counter is written with the next append.
    const bool differs = std::memcmp(a + kNumRecordsAt, b + kNumRecordsAt, 4) != 0 ||
                         std::memcmp(a + kFileBlocksAt, b + kFileBlocksAt, 6) != 0;
    if (differs)
        m_file.writeAt(kCountsFrom,
                       QByteArrayView(m_header).sliced(kCountsFrom, kCountsTo - kCountsFrom));
    else
        m_header = before;
    // Blocks past the counted ones are left from an append that did not finish.
    const qint64 end = blockOffset(m_fileBlocks) + (m_fileBlocks ? m_blockSize : 0);
    if (fileSize > end && m_fileBlocks > 0)
        m_file.truncate(end);
    else if (fileSize > m_headerSize && m_fileBlocks == 0)
        m_file.truncate(m_headerSize);
}

qint64 ParadoxFile::blockOffset(quint16 number) const
{
    return m_headerSize + qint64(number - 1) * m_blockSize;
}

void ParadoxFile::check(const char *record, int recordNumber) const
{
    // Dates are the only bytes that can be out of range.
    for (const Column &c : std::as_const(m_columns)) {
        const char *p = record + c.offset;
        if (c.type != kDate || allZero(p, c.size))
            continue;
        const qint64 day = getInteger(p, 4);
        if (day < 1 || day > kLastParadoxDay)
            corrupt(QStringLiteral("bad date in field %1 of record %2")
                        .arg(c.def.name)
                        .arg(recordNumber));
    }
}

RecordValues ParadoxFile::decode(const char *record) const
{
    RecordValues values(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i)
        values[i] = decodeColumn(record, i);
    return values;
}

void ParadoxFile::decodeInto(RecordValues &values, const char *record, const char *previous,
                             RecordValues &texts) const
{
    values.resize(m_columns.size());
    texts.resize(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i) {
        const Column &c = m_columns[i];
        if (c.type != kAlpha) {
            values[i] = decodeColumn(record, i);
            continue;
        }
        // A text like the one before shares its copy.
        if (!previous || std::memcmp(record + c.offset, previous + c.offset, size_t(c.size)) != 0)
            texts[i] = decodeColumn(record, i);
        values[i] = texts[i];
    }
}

QVariant ParadoxFile::decodeColumn(const char *record, int column) const
{
    const Column &c = m_columns[column];
    const char *p = record + c.offset;
    if (allZero(p, c.size))
        return {}; // empty
    switch (c.type) {
    case kAlpha: {
        const void *nul = std::memchr(p, 0, size_t(c.size));
        return FromCp1252(p, nul ? static_cast<const char *>(nul) - p : c.size);
    }
    case kDate:
        // Checked when the record was read or made.
        return int(getInteger(p, 4) - kDateOffset);
    case kShort:
        return int(getInteger(p, 2));
    case kLong:
    case kAutoInc:
        return int(getInteger(p, 4));
    case kMoney:
    case kNumber:
        return getDouble(p);
    case kLogical:
        return (quint8(*p) & 0x7F) ? QStringLiteral("T") : QStringLiteral("F");
    }
    return {};
}

void ParadoxFile::writeColumnKey(char *out, const char *record, int column,
                                 bool caseInsensitive) const
{
    const Column &c = m_columns[column];
    const char *p = record + c.offset;
    if (allZero(p, c.size)) {
        std::memset(out, 0, size_t(KeyWidth(c.def)));
        return;
    }
    // Plain ASCII text is copied straight; everything else is decoded first.
    if (c.type == kAlpha) {
        const void *nul = std::memchr(p, 0, size_t(c.size));
        const int length = nul ? int(static_cast<const char *>(nul) - p) : c.size;
        if (WriteAsciiKey(out, p, length, c.size, caseInsensitive))
            return;
    }
    WriteKey(out, c.def, decodeColumn(record, column), caseInsensitive);
}

qint64 ParadoxFile::numberOf(const Row &row) const
{
    if (m_autoIncColumn < 0)
        return 0;
    const char *p = row.raw.constData() + m_columns[m_autoIncColumn].offset;
    return allZero(p, 4) ? 0 : getInteger(p, 4);
}

QByteArray ParadoxFile::encode(const RecordValues &values) const
{
    if (values.size() != m_columns.size())
        throw EngineError(QStringLiteral("Cannot write table %1: %2 values for %3 fields")
                              .arg(m_path)
                              .arg(values.size())
                              .arg(m_columns.size()));
    QByteArray record(m_recordSize, '\0');
    for (int i = 0; i < m_columns.size(); ++i) {
        const Column &c = m_columns[i];
        const QVariant &v = values[i];
        char *out = record.data() + c.offset;
        auto misfit = [&]() {
            throw EngineError(QStringLiteral("Value '%1' does not fit field %2 of table %3")
                                  .arg(v.toString(), c.def.name, m_path));
        };
        if (isEmptyValue(v))
            continue;
        bool ok = true;
        switch (c.type) {
        case kAlpha: {
            const QByteArray text = ToCp1252(v.toString());
            if (text.size() > c.size)
                throw EngineError(
                    QStringLiteral("Text too long for field %1 of table %2 (at most %3 characters)")
                        .arg(c.def.name, m_path)
                        .arg(c.size));
            // A NUL would end the text early on reading.
            if (text.contains('\0'))
                misfit();
            std::memcpy(out, text.constData(), size_t(text.size()));
            break;
        }
        case kDate: {
            const qint64 day =
                v.typeId() == QMetaType::QDate ? DayNumber(v.toDate()) : qint64(v.toInt(&ok));
            if (!ok || day + kDateOffset < 1 || day + kDateOffset > kLastParadoxDay)
                misfit();
            putInteger(out, day + kDateOffset, 4);
            break;
        }
        case kShort: {
            const int n = v.toInt(&ok);
            if (!ok || n < -32767 || n > 32767)
                misfit();
            putInteger(out, n, 2);
            break;
        }
        case kLong:
        case kAutoInc: {
            const qint64 n = v.toLongLong(&ok);
            if (!ok || n < -INT_MAX || n > INT_MAX)
                misfit();
            putInteger(out, n, 4);
            break;
        }
        case kMoney:
        case kNumber: {
            const double d = v.toDouble(&ok);
            if (!ok || !std::isfinite(d))
                misfit();
            putDouble(out, d);
            break;
        }
        case kLogical: {
            const QString text = v.toString().trimmed().toUpper();
            if (text == QLatin1String("T") || text == QLatin1String("Y"))
                *out = char(0x81);
            else if (text == QLatin1String("F") || text == QLatin1String("N"))
                *out = char(0x80);
            else
                misfit();
            break;
        }
        }
    }
    return record;
}

void ParadoxFile::writeKeyOf(char *out, const char *record) const
{
    for (int i = 0; i < m_keyFields; ++i) {
        writeColumnKey(out, record, i, false);
        out += KeyWidth(m_columns[i].def);
    }
}

// Indexes ---------------------------------------------------------------------------------------

QByteArray ParadoxFile::blockEntry(int block) const
{
    const Block &b = m_chain[block];
    QByteArray e = m_rows.at(b.held.front()).key;
    char tail[4];
    qToBigEndian<quint16>(b.number, tail);
    qToBigEndian<quint16>(quint16(b.held.size()), tail + 2);
    e.append(tail, 4);
    return e;
}

QVector<QByteArray> ParadoxFile::blockEntries() const
{
    QByteArray all;
    for (int i = 0; i < m_chain.size(); ++i)
        all.append(blockEntry(i));
    return {all};
}

QByteArray ParadoxFile::secondaryEntry(const Secondary &s, const Row &row) const
{
    QByteArray e(s.keyWidth + row.key.size(), Qt::Uninitialized);
    writeSecondaryEntry(e.data(), s, row);
    return e;
}

void ParadoxFile::writeSecondaryEntry(char *out, const Secondary &s, const Row &row) const
{
    for (int column : s.columns) {
        writeColumnKey(out, row.raw.constData(), column, s.def.caseInsensitive);
        out += KeyWidth(m_columns[column].def);
    }
    std::memcpy(out, row.key.constData(), size_t(row.key.size()));
}

void ParadoxFile::openIndexes()
{
    const QString dataName = QFileInfo(m_path).fileName();
    if (m_keyFields > 0)
        openPrimary(dataName);
    openSecondaries(dataName);
}

void ParadoxFile::openPrimary(const QString &dataName)
{
    m_primaryPath = IndexFile::pathBeside(m_path, QStringLiteral(".px"));
    if (!m_regular)
        return; // written with the sorted table at the first change
    IndexFile::Index expected;
    expected.kind = IndexKind::Blocks;
    expected.def.primary = expected.def.unique = true;
    for (int i = 0; i < m_keyFields; ++i) {
        expected.def.fields.append(m_columns[i].def.name);
        expected.keyWidth += KeyWidth(m_columns[i].def);
    }
    expected.entryWidth = expected.keyWidth + 4;
    expected.entries = blockEntries().front();
    const bool ok = m_primary.load(m_primaryPath, dataName) && !m_primary.isStale() &&
                    m_primary.indexes().size() == 1 &&
                    sameDefinition(m_primary.index(0).def, expected.def) &&
                    m_primary.index(0).kind == expected.kind &&
                    m_primary.index(0).keyWidth == expected.keyWidth &&
                    m_primary.index(0).entryWidth == expected.entryWidth &&
                    m_primary.index(0).entries == expected.entries;
    if (!ok)
        m_primary.trySave(m_primaryPath, dataName, {expected});
}

void ParadoxFile::openSecondaries(const QString &dataName)
{
    for (int n = 0; n < kMaxSecondaries; ++n) {
        const QString xPath = IndexFile::pathBeside(m_path, suffixed("xg", n));
        const QString yPath = IndexFile::pathBeside(m_path, suffixed("yg", n));
        if (!QFileInfo::exists(xPath) && !QFileInfo::exists(yPath))
            break;
        auto x = std::make_unique<IndexFile>();
        IndexFile y;
        const bool xOk = x->load(xPath, dataName) && x->indexes().size() == 1 &&
                         x->index(0).kind == IndexKind::Records;
        const bool yOk = y.load(yPath, dataName) && y.indexes().size() == 1 &&
                         y.index(0).kind == IndexKind::Definition;
        // Either file names the index; with neither readable it is gone.
        if (!xOk && !yOk)
            continue;
        Secondary s;
        s.def = xOk ? x->index(0).def : y.index(0).def;
        IndexFile::Index expected;
        expected.def = s.def;
        for (const QString &name : s.def.fields) {
            for (int c = 0; c < m_columns.size(); ++c)
                if (m_columns[c].def.name.compare(name, Qt::CaseInsensitive) == 0) {
                    s.columns.append(c);
                    expected.keyWidth += KeyWidth(m_columns[c].def);
                }
        }
        if (m_keyFields == 0 || s.columns.size() != s.def.fields.size() || s.def.primary)
            continue; // an index of fields this table lacks
        s.keyWidth = expected.keyWidth;
        expected.entryWidth = expected.keyWidth + m_keyWidth;
        QByteArray all(qsizetype(m_rows.size()) * expected.entryWidth, Qt::Uninitialized);
        char *out = all.data();
        m_rows.forEach([&](quint32, const Row &row) {
            writeSecondaryEntry(out, s, row);
            out += expected.entryWidth;
        });
        const bool current = xOk && !x->isStale() && x->index(0).keyWidth == expected.keyWidth &&
                             x->index(0).entryWidth == expected.entryWidth &&
                             IndexFile::holdsSorted(x->index(0), all);
        if (!current) {
            expected.entries = IndexFile::sorted(all, expected.entryWidth);
            x->trySave(xPath, dataName, {expected});
        }
        IndexFile::Index definition = expected;
        definition.kind = IndexKind::Definition;
        definition.entries.clear();
        if (!yOk || !sameDefinition(y.index(0).def, s.def) ||
            y.index(0).keyWidth != definition.keyWidth ||
            y.index(0).entryWidth != definition.entryWidth)
            y.trySave(yPath, dataName, {definition});
        s.file = std::move(x);
        m_secondaries.push_back(std::move(s));
    }
}

// Reading the table -----------------------------------------------------------------------------

QVector<FieldDef> ParadoxFile::fields() const
{
    QVector<FieldDef> result;
    for (const Column &c : m_columns)
        result.append(c.def);
    return result;
}

QVector<IndexDef> ParadoxFile::indexes() const
{
    QVector<IndexDef> result;
    if (m_keyFields > 0) {
        IndexDef primary;
        primary.primary = primary.unique = true;
        for (int i = 0; i < m_keyFields; ++i)
            primary.fields.append(m_columns[i].def.name);
        result.append(primary);
    }
    for (const Secondary &s : m_secondaries)
        result.append(s.def);
    return result;
}

std::vector<quint32> ParadoxFile::chainOrder() const
{
    std::vector<quint32> order;
    order.reserve(size_t(m_rows.size()));
    for (const Block &b : m_chain)
        for (quint32 slot : b.held)
            order.push_back(slot);
    return order;
}

void ParadoxFile::readRecords(const RecordReader &take) const
{
    RecordValues values, texts;
    const char *previous = nullptr;
    for (quint32 slot : chainOrder()) {
        const char *record = m_rows.at(slot).raw.constData();
        decodeInto(values, record, previous, texts);
        take(slot, values);
        previous = record;
    }
}

QVector<quint32> ParadoxFile::indexOrder(const QString &indexName) const
{
    checkOpen();
    QVector<quint32> order;
    order.reserve(m_rows.size());
    if (indexName.isEmpty() && m_keyFields > 0) {
        const bool held = m_regular && m_primary.indexes().size() == 1 &&
                          m_primary.index(0).count() == m_chain.size();
        if (held) {
            // The primary index lists the data blocks in key order.
            QHash<quint16, int> byNumber;
            for (int i = 0; i < m_chain.size(); ++i)
                byNumber.insert(m_chain[i].number, i);
            const IndexFile::Index &index = m_primary.index(0);
            for (int i = 0; i < index.count(); ++i) {
                const quint16 number =
                    qFromBigEndian<quint16>(index.entry(i).data() + index.keyWidth);
                for (quint32 slot : m_chain[byNumber.value(number)].held)
                    order.append(slot);
            }
            return order;
        }
        std::vector<std::pair<QByteArray, quint32>> keyed;
        for (quint32 slot : chainOrder())
            keyed.emplace_back(m_rows.at(slot).key, slot);
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (const auto &k : keyed)
            order.append(k.second);
        return order;
    }
    for (const Secondary &s : m_secondaries) {
        if (s.def.name.compare(indexName, Qt::CaseInsensitive) != 0)
            continue;
        const IndexFile::Index &index = s.file->index(0);
        // An entry ends with its record's primary key; each record is listed once.
        QMultiHash<QByteArray, quint32> byKey;
        byKey.reserve(m_rows.size());
        m_rows.forEach([&](quint32 slot, const Row &row) { byKey.insert(row.key, slot); });
        QSet<quint32> used;
        for (int i = 0; i < index.count(); ++i) {
            const QByteArrayView e = index.entry(i);
            const QByteArray key = e.sliced(index.keyWidth).toByteArray();
            for (auto it = byKey.constFind(key); it != byKey.cend() && it.key() == key; ++it) {
                if (!used.contains(it.value()) && secondaryEntry(s, m_rows.at(it.value())) == e) {
                    used.insert(it.value());
                    order.append(it.value());
                    break;
                }
            }
        }
        return order;
    }
    throw EngineError(
        QStringLiteral("Index not found: %1 (table %2)")
            .arg(indexName.isEmpty() ? QStringLiteral("primary") : indexName, m_path));
}

ParadoxFile::Row &ParadoxFile::row(quint32 slot)
{
    checkOpen();
    if (!m_rows.contains(slot))
        throw EngineError(QStringLiteral("Record not found in table %1").arg(m_path));
    return m_rows[slot];
}

// Changes ---------------------------------------------------------------------------------------

ParadoxFile::Row ParadoxFile::makeRow(RecordValues &values) const
{
    Row r;
    r.raw = encode(values);
    r.key = QByteArray(m_keyWidth, Qt::Uninitialized);
    writeKeyOf(r.key.data(), r.raw.constData());
    return r;
}

void ParadoxFile::checkUnique(const Row &row, const Row *old) const
{
    const auto violation = [this]() {
        throw EngineError(QStringLiteral("Key violation in table %1").arg(m_path));
    };
    if (m_keyFields > 0 && (!old || old->key != row.key) && keyTaken(row.key))
        violation();
    for (const Secondary &s : m_secondaries)
        if (s.def.unique &&
            s.file->hasKey(0, secondaryEntry(s, row), old ? secondaryEntry(s, *old) : QByteArray()))
            violation();
}

// True when a record has `key` as its primary key.
bool ParadoxFile::keyTaken(const QByteArray &key) const
{
    if (!m_regular) {
        bool taken = false;
        m_rows.forEach([&](quint32, const Row &r) { taken = taken || r.key == key; });
        return taken;
    }
    if (fitsAfterLast(key))
        return false; // past every key there is (or no record at all)
    // Sorted: the block whose last key is not below `key`, then the record in it.
    const auto keyOfSlot = [this](quint32 slot) -> const QByteArray & {
        return m_rows.at(slot).key;
    };
    const auto block = std::lower_bound(
        m_chain.cbegin(), m_chain.cend(), key,
        [&](const Block &b, const QByteArray &k) { return keyOfSlot(b.held.back()) < k; });
    if (block == m_chain.cend())
        return false;
    const auto at =
        std::lower_bound(block->held.cbegin(), block->held.cend(), key,
                         [&](quint32 slot, const QByteArray &k) { return keyOfSlot(slot) < k; });
    return at != block->held.cend() && keyOfSlot(*at) == key;
}

bool ParadoxFile::fitsAfterLast(const QByteArray &key) const
{
    if (m_keyFields == 0 || m_chain.isEmpty())
        return true;
    return m_rows.at(m_chain.back().held.back()).key < key;
}

// True when a record with `key` in place of `slot`'s stays in key order between its neighbours.
bool ParadoxFile::keepsPlace(quint32 slot, const QByteArray &key) const
{
    const Row &r = m_rows.at(slot);
    if (m_keyFields == 0 || r.key == key)
        return true;
    const Block &b = m_chain[r.block];
    const int at = int(b.held.indexOf(slot));
    quint32 before = 0, after = 0;
    if (at > 0)
        before = b.held[at - 1];
    else if (r.block > 0)
        before = m_chain[r.block - 1].held.back();
    if (at + 1 < b.held.size())
        after = b.held[at + 1];
    else if (r.block + 1 < m_chain.size())
        after = m_chain[r.block + 1].held.front();
    return (!before || m_rows.at(before).key < key) && (!after || key < m_rows.at(after).key);
}

quint32 ParadoxFile::append(RecordValues &values)
{
    checkOpen();
    RecordValues given = values;
    if (m_autoIncColumn >= 0 && isEmptyValue(given[m_autoIncColumn])) {
        if (m_autoInc >= INT_MAX)
            throw EngineError(
                QStringLiteral("Cannot number a new record of table %1: the counter is at its end")
                    .arg(m_path));
        given[m_autoIncColumn] = int(m_autoInc + 1);
    }
    Row r = makeRow(given);
    checkUnique(r, nullptr);
    const quint32 slot = m_nextSlot;
    const qint64 counter = std::max(m_autoInc, numberOf(r));

    const bool rewritten = !m_regular || !fitsAfterLast(r.key);
    if (rewritten) {
        Rows rows = m_rows;
        rows.insert(slot, r);
        std::vector<quint32> order = chainOrder();
        order.push_back(slot);
        const qint64 before = m_autoInc;
        m_autoInc = counter;
        try {
            rewrite(rows, order);
        } catch (...) {
            m_autoInc = before;
            throw;
        }
    } else if (!m_chain.isEmpty() && m_chain.back().held.size() < m_perBlock) {
        // Room in the last block: the record, then the block's count (from here on the record
        // is in the table), then the header.
        Block &last = m_chain.back();
        const int count = int(last.held.size());
        const qint64 at = blockOffset(last.number);
        m_file.writeAt(at + kBlockHeader + qint64(count) * m_recordSize, r.raw);
        char used[2];
        qToLittleEndian<qint16>(qint16(count * m_recordSize), used);
        m_file.writeAt(at + 4, QByteArrayView(used, 2));
        r.block = int(m_chain.size()) - 1;
        m_rows.insert(slot, r);
        last.held.append(slot);
        m_autoInc = counter;
        try {
            writeHeader();
        } catch (const EngineError &) {
            // The record is stored; the header's count is put right on the next open.
        }
        if (m_keyFields > 0)
            m_primary.setAt(0, r.block, blockEntry(r.block));
    } else {
        // A new block at the end of the file: the block, then the link to it, then the header.
        if (m_fileBlocks == 0xFFFF)
            throw EngineError(QStringLiteral("Table %1 is full").arg(m_path));
        const quint16 number = m_fileBlocks + 1;
        QByteArray block(m_blockSize, '\0');
        const quint16 previous = m_chain.isEmpty() ? 0 : m_chain.back().number;
        qToLittleEndian<quint16>(previous, block.data() + 2);
        block.replace(kBlockHeader, m_recordSize, r.raw);
        m_file.writeAt(blockOffset(number), block);
        r.block = int(m_chain.size());
        const qint64 before = m_autoInc;
        if (previous) {
            char link[2];
            qToLittleEndian<quint16>(number, link);
            m_file.writeAt(blockOffset(previous), QByteArrayView(link, 2));
        }
        m_rows.insert(slot, r);
        m_chain.append(Block{number, {slot}});
        m_fileBlocks = number;
        m_autoInc = counter;
        try {
            writeHeader();
        } catch (const EngineError &) {
            if (!previous) {
                // For the first block the header is what links it: nothing was stored.
                m_rows.remove(slot);
                m_chain.removeLast();
                m_fileBlocks = 0;
                m_autoInc = before;
                throw;
            }
        }
        if (m_keyFields > 0)
            m_primary.insertAt(0, r.block, blockEntry(r.block));
    }
    ++m_nextSlot;
    const Row &stored = m_rows.at(slot);
    for (Secondary &s : m_secondaries)
        s.file->insertSorted(0, secondaryEntry(s, stored));
    values = decode(stored.raw.constData());
    return slot;
}

void ParadoxFile::update(quint32 slot, const RecordValues &values)
{
    const Row old = row(slot);
    RecordValues given = values;
    // The number of a record stays with it.
    if (m_autoIncColumn >= 0 && given.size() == m_columns.size() &&
        isEmptyValue(given[m_autoIncColumn]))
        given[m_autoIncColumn] = decodeColumn(old.raw.constData(), m_autoIncColumn);
    Row r = makeRow(given);
    checkUnique(r, &old);
    const qint64 counter = std::max(m_autoInc, numberOf(r));

    const bool rewritten = !m_regular || !keepsPlace(slot, r.key);
    if (!rewritten) {
        const Block &b = m_chain[old.block];
        const int at = int(b.held.indexOf(slot));
        m_file.writeAt(blockOffset(b.number) + kBlockHeader + qint64(at) * m_recordSize, r.raw);
        r.block = old.block;
        m_rows[slot] = r;
        if (m_keyFields > 0 && at == 0 && old.key != r.key)
            m_primary.setAt(0, r.block, blockEntry(r.block));
        if (counter > m_autoInc) {
            m_autoInc = counter;
            try {
                writeHeader();
            } catch (const EngineError &) {
                // The counter is only a hint: the next open takes the largest number in use.
            }
        }
    } else {
        Rows rows = m_rows;
        rows[slot] = r;
        const qint64 before = m_autoInc;
        m_autoInc = counter;
        try {
            rewrite(rows, chainOrder());
        } catch (...) {
            m_autoInc = before;
            throw;
        }
    }
    const Row &stored = m_rows.at(slot);
    for (Secondary &s : m_secondaries)
        s.file->replaceSorted(0, secondaryEntry(s, old), secondaryEntry(s, stored));
}

void ParadoxFile::remove(quint32 slot)
{
    const Row old = row(slot);
    Block &b = m_chain[old.block];
    const bool rewritten = !m_regular || b.held.size() == 1;
    if (rewritten) {
        // A block must not be left empty in the chain: the table is written anew without it.
        Rows rows = m_rows;
        rows.remove(slot);
        std::vector<quint32> order = chainOrder();
        order.erase(std::find(order.begin(), order.end(), slot));
        rewrite(rows, order);
    } else {
        // The block's count and its records moved up, in one write, then the header.
        const int at = int(b.held.indexOf(slot));
        const int count = int(b.held.size());
        QByteArray bytes(2 + count * m_recordSize, '\0');
        qToLittleEndian<qint16>(qint16((count - 2) * m_recordSize), bytes.data());
        int out = 2;
        for (int i = 0; i < count; ++i) {
            if (i == at)
                continue;
            std::memcpy(bytes.data() + out, m_rows.at(b.held[i]).raw.constData(),
                        size_t(m_recordSize));
            out += m_recordSize;
        }
        m_file.writeAt(blockOffset(b.number) + 4, bytes);
        b.held.removeAt(at);
        m_rows.remove(slot);
        try {
            writeHeader();
        } catch (const EngineError &) {
            // The block is what counts; the header's count is put right on the next open.
        }
        if (m_keyFields > 0)
            m_primary.setAt(0, old.block, blockEntry(old.block));
    }
    for (Secondary &s : m_secondaries)
        s.file->removeSorted(0, secondaryEntry(s, old));
}

void ParadoxFile::empty()
{
    checkOpen();
    // The header without blocks first, then the blocks are cut off; a table with neither
    // records nor blocks is left as it is.
    QByteArray header = m_header;
    putCounts(header, 0, 0, 0, 0);
    qToLittleEndian<quint16>(0, header.data() + kFirstFreeAt);
    if (header != m_header || m_file.size() != m_headerSize) {
        m_file.writeAt(kCountsFrom,
                       QByteArrayView(header).sliced(kCountsFrom, kCountsTo - kCountsFrom));
        m_header = header;
        m_file.truncate(m_headerSize);
    }
    m_rows.reset(m_nextSlot);
    m_chain.clear();
    m_fileBlocks = 0;
    m_regular = true;
    if (m_keyFields > 0) {
        if (m_primary.indexes().isEmpty())
            openPrimary(QFileInfo(m_path).fileName());
        else
            m_primary.setAll({QByteArray()});
    }
    for (Secondary &s : m_secondaries)
        s.file->setAll({QByteArray()});
}

// Writes the table anew with `rows` in `order` (sorted by key for a keyed table) and takes the
// new layout only once the new file is in place.
void ParadoxFile::rewrite(Rows rows, std::vector<quint32> order)
{
    if (m_keyFields > 0) {
        std::vector<std::pair<QByteArray, quint32>> keyed;
        keyed.reserve(order.size());
        for (quint32 slot : order)
            keyed.emplace_back(rows.at(slot).key, slot);
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto &a, const auto &b) { return a.first < b.first; });
        for (size_t i = 0; i < keyed.size(); ++i)
            order[i] = keyed[i].second;
    }
    const qint64 blocks = (qint64(order.size()) + m_perBlock - 1) / m_perBlock;
    if (blocks > 0xFFFF)
        throw EngineError(QStringLiteral("Table %1 is full").arg(m_path));
    QByteArray header = m_header;
    putCounts(header, quint32(order.size()), quint16(blocks), blocks ? 1 : 0, quint16(blocks));
    qToLittleEndian<quint16>(0, header.data() + kFirstFreeAt);
    QByteArray bytes = header;
    bytes.reserve(m_headerSize + blocks * m_blockSize);
    QVector<Block> chain;
    for (qint64 b = 0; b < blocks; ++b) {
        const auto number = quint16(b + 1);
        const size_t first = size_t(b) * size_t(m_perBlock);
        const int count = int(std::min<size_t>(size_t(m_perBlock), order.size() - first));
        QByteArray block(m_blockSize, '\0');
        qToLittleEndian<quint16>(b + 1 < blocks ? number + 1 : 0, block.data());
        qToLittleEndian<quint16>(quint16(b), block.data() + 2);
        qToLittleEndian<qint16>(qint16((count - 1) * m_recordSize), block.data() + 4);
        Block entry{number, {}};
        for (int i = 0; i < count; ++i) {
            const quint32 slot = order[first + size_t(i)];
            Row &r = rows[slot];
            r.block = int(b);
            block.replace(kBlockHeader + i * m_recordSize, m_recordSize, r.raw);
            entry.held.append(slot);
        }
        bytes.append(block);
        chain.append(entry);
    }
    m_file.close();
    try {
        DiskFile::replace(m_path, bytes);
    } catch (...) {
        m_file.open(m_path);
        throw;
    }
    m_file.open(m_path);
    m_header = header;
    m_fileBlocks = quint16(blocks);
    m_rows = rows;
    m_chain = chain;
    m_regular = true;
    if (m_keyFields > 0) {
        if (m_primary.indexes().isEmpty())
            openPrimary(QFileInfo(m_path).fileName());
        else
            m_primary.setAll(blockEntries());
    }
}

// Creating a table ------------------------------------------------------------------------------

void ParadoxFile::create(const QString &path, const QVector<FieldDef> &fields,
                         const QVector<IndexDef> &indexes)
{
    const QFileInfo info(path);
    const QString target = ResolveFileName(info.path(), info.fileName());
    auto refuse = [&target](const QString &reason) {
        throw EngineError(QStringLiteral("Cannot create table %1: %2").arg(target, reason));
    };
    if (!info.absoluteDir().exists())
        refuse(QStringLiteral("the folder does not exist"));

    QVector<NewField> columns;
    QVector<FieldDef> stored;
    QSet<QString> names;
    int recordSize = 0;
    for (const FieldDef &f : fields) {
        if (f.calculated)
            continue;
        NewField c{ToCp1252(f.name), 0, 0};
        if (c.name.isEmpty() || c.name.size() > kMaxNameLength || c.name.contains('\0'))
            refuse(QStringLiteral("field name '%1' must have 1 to %2 characters")
                       .arg(f.name)
                       .arg(kMaxNameLength));
        if (names.contains(f.name.toUpper()))
            refuse(QStringLiteral("field name %1 appears twice").arg(f.name));
        names.insert(f.name.toUpper());
        switch (f.type) {
        case FieldType::String:
            c.type = kAlpha;
            c.size = f.size;
            if (c.size < 1 || c.size > 255)
                refuse(QStringLiteral("text field %1 must have 1 to 255 characters").arg(f.name));
            break;
        case FieldType::Integer:
            c.type = kLong;
            c.size = 4;
            break;
        case FieldType::AutoInc:
            c.type = kAutoInc;
            c.size = 4;
            break;
        case FieldType::Date:
            c.type = kDate;
            c.size = 4;
            break;
        case FieldType::Float:
            c.type = kNumber;
            c.size = 8;
            break;
        }
        recordSize += c.size;
        columns.append(c);
        stored.append(f);
    }
    if (columns.isEmpty())
        refuse(QStringLiteral("a table needs at least one field"));
    if (columns.size() > 255 || recordSize > 32 * 1024 - kBlockHeader)
        refuse(QStringLiteral("the fields are too many or too long for one record"));

    auto fieldIndex = [&stored](const QString &name) {
        for (int i = 0; i < stored.size(); ++i)
            if (stored[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return i;
        return -1;
    };
    int keyFields = 0;
    int keyWidth = 0;
    QVector<IndexFile::Index> secondaries;
    for (const IndexDef &def : indexes) {
        if (def.fields.isEmpty())
            refuse(QStringLiteral("an index needs fields"));
        for (const QString &name : def.fields)
            if (fieldIndex(name) < 0)
                refuse(QStringLiteral("an index names a field the table lacks: %1").arg(name));
        if (def.primary) {
            if (keyFields > 0)
                refuse(QStringLiteral("a table has one primary index"));
            // Paradox keys are the leading fields, in order.
            for (int i = 0; i < def.fields.size(); ++i)
                if (fieldIndex(def.fields[i]) != i)
                    refuse(QStringLiteral("the primary index must be on the first fields"));
            keyFields = int(def.fields.size());
            for (int i = 0; i < keyFields; ++i)
                keyWidth += KeyWidth(stored[i]);
            continue;
        }
        if (def.name.isEmpty())
            refuse(QStringLiteral("a secondary index needs a name"));
        for (const IndexFile::Index &other : secondaries)
            if (other.def.name.compare(def.name, Qt::CaseInsensitive) == 0)
                refuse(QStringLiteral("index name %1 appears twice").arg(def.name));
        IndexFile::Index s;
        s.def = def;
        for (const QString &name : def.fields)
            s.keyWidth += KeyWidth(stored[fieldIndex(name)]);
        secondaries.append(s);
    }
    if (!secondaries.isEmpty() && keyFields == 0)
        refuse(QStringLiteral("secondary indexes need a primary index"));
    if (secondaries.size() > kMaxSecondaries)
        refuse(QStringLiteral("too many secondary indexes"));

    DiskFile::replace(target, newHeader(columns, keyFields, QFileInfo(target).fileName()));

    const QString dataName = QFileInfo(target).fileName();
    const QString pxPath = IndexFile::pathBeside(target, QStringLiteral(".px"));
    if (keyFields > 0) {
        IndexFile::Index primary;
        primary.kind = IndexKind::Blocks;
        primary.def.primary = primary.def.unique = true;
        for (int i = 0; i < keyFields; ++i)
            primary.def.fields.append(stored[i].name);
        primary.keyWidth = keyWidth;
        primary.entryWidth = keyWidth + 4;
        IndexFile().save(pxPath, dataName, {primary});
    } else {
        QFile::remove(pxPath);
    }
    for (int n = 0; n < kMaxSecondaries; ++n) {
        const QString xPath = IndexFile::pathBeside(target, suffixed("xg", n));
        const QString yPath = IndexFile::pathBeside(target, suffixed("yg", n));
        if (n >= secondaries.size()) {
            // Files of an index the new table does not have.
            QFile::remove(xPath);
            QFile::remove(yPath);
            continue;
        }
        IndexFile::Index s = secondaries[n];
        s.kind = IndexKind::Records;
        s.entryWidth = s.keyWidth + keyWidth;
        IndexFile().save(xPath, dataName, {s});
        s.kind = IndexKind::Definition;
        IndexFile().save(yPath, dataName, {s});
    }
}
