// SPDX-License-Identifier: MIT
#include "core/dbasefile.h"

#include "core/clock.h"
#include "core/codepage.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/indexkey.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

constexpr char kTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;
constexpr char kLive = ' ';
constexpr char kDeleted = '*';
constexpr quint8 kVersion = 0x03;      // dBase III+/IV without memo
constexpr quint8 kLanguageAnsi = 0x03; // code page 1252
constexpr int kDescriptorSize = 32;
constexpr int kMaxNameLength = 10;
constexpr int kNumberWidth = 19; // the widest number every dBase reader creates and reads
constexpr int kIntegerWidth = 11;

// Version bytes of dBase III/IV and FoxPro tables whose records we can read.
bool knownVersion(quint8 version)
{
    switch (version) {
    case 0x03:
    case 0x04:
    case 0x05:
    case 0x30:
    case 0x31:
    case 0x43:
    case 0x63:
    case 0x83:
    case 0x8B:
    case 0x8E:
    case 0xCB:
    case 0xF5:
    case 0xFB:
        return true;
    default:
        return false;
    }
}

bool isBlank(const char *p, int n, char blank)
{
    for (int i = 0; i < n; ++i)
        if (p[i] != blank)
            return false;
    return true;
}

QString hexByte(quint8 b)
{
    return QStringLiteral("0x") +
           QString::number(b, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

void stampDate(QByteArray &header)
{
    const QDate today = Today();
    header[1] = char(std::clamp(today.year() - 1900, 0, 255));
    header[2] = char(today.month());
    header[3] = char(today.day());
}

bool isEmptyValue(const QVariant &v)
{
    return !v.isValid() || v.isNull() ||
           (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

} // namespace

// Opening ---------------------------------------------------------------------------------------

void DbaseFile::open(const QString &path)
{
    close();
    const QFileInfo info(path);
    const QString resolved = ResolveFileName(info.path(), info.fileName());
    m_file.open(resolved);
    m_path = resolved;
    try {
        const QByteArray bytes = m_file.readAll();
        parse(bytes);
        // A file longer than its records (left by an append that did not finish) or without
        // the end-of-file byte is cut back to what the header counts.
        const qint64 end = m_headerLength + qint64(m_recordLength) * m_rows.size();
        if (bytes.size() != end + 1 || bytes.at(end) != kEndOfFile) {
            m_file.writeAt(end, QByteArrayView(&kEndOfFile, 1));
            m_file.truncate(end + 1);
        }
        openIndexes();
    } catch (...) {
        close();
        throw;
    }
}

void DbaseFile::close()
{
    m_file.close();
    m_index.close();
    m_header.clear();
    m_columns.clear();
    m_rows.clear();
    m_tags.clear();
    m_headerLength = m_recordLength = 0;
    m_slotBase = 0;
}

void DbaseFile::parse(const QByteArray &bytes)
{
    const qint64 size = bytes.size();
    const char *p = bytes.constData();
    if (size == 0)
        corrupt(QStringLiteral("the file is empty"));
    if (size < 32)
        corrupt(QStringLiteral("the header is cut short"));
    const auto version = quint8(p[0]);
    if (!knownVersion(version))
        corrupt(QStringLiteral("unknown version byte %1, not a dBase table").arg(hexByte(version)));
    const quint32 count = qFromLittleEndian<quint32>(p + 4);
    m_headerLength = qFromLittleEndian<quint16>(p + 8);
    m_recordLength = qFromLittleEndian<quint16>(p + 10);
    if (m_headerLength < 32 + kDescriptorSize + 1 || m_headerLength > size)
        corrupt(QStringLiteral("the header length does not fit the file"));

    int offset = 32;
    int fieldOffset = 1;
    QSet<QString> names;
    while (offset < m_headerLength && p[offset] != kTerminator) {
        if (offset + kDescriptorSize > m_headerLength)
            corrupt(QStringLiteral("the header length does not fit the field list"));
        const char *d = p + offset;
        Column c;
        const void *nul = std::memchr(d, 0, 11);
        const int nameLength = nul ? int(static_cast<const char *>(nul) - d) : 11;
        c.def.name = FromCp1252(d, nameLength).trimmed();
        c.type = char(QChar::toUpper(char32_t(quint8(d[11]))));
        c.length = quint8(d[16]);
        c.decimals = quint8(d[17]);
        const int number = int(m_columns.size()) + 1;
        if (c.def.name.isEmpty())
            corrupt(QStringLiteral("field %1 has no name").arg(number));
        if (names.contains(c.def.name.toUpper()))
            corrupt(QStringLiteral("field name %1 appears twice").arg(c.def.name));
        names.insert(c.def.name.toUpper());
        switch (c.type) {
        case 'C':
            // Clipper and dbfread read the decimal byte as the high byte of a long text length.
            c.length += 256 * c.decimals;
            c.decimals = 0;
            c.def.type = FieldType::String;
            c.def.size = c.length;
            break;
        case 'D':
            if (c.length != 8)
                corrupt(
                    QStringLiteral("date field %1 has length %2").arg(c.def.name).arg(c.length));
            c.def.type = FieldType::Date;
            c.decimals = 0;
            break;
        case 'N':
        case 'F':
            if (c.length > 32 || (c.decimals > 0 && c.decimals >= c.length))
                corrupt(QStringLiteral("number field %1 has length %2 with %3 decimals")
                            .arg(c.def.name)
                            .arg(c.length)
                            .arg(c.decimals));
            c.def.type = FieldType::Float;
            c.def.decimals = c.decimals;
            c.def.alignment = Qt::AlignRight;
            break;
        case 'L':
            if (c.length != 1)
                corrupt(
                    QStringLiteral("logical field %1 has length %2").arg(c.def.name).arg(c.length));
            c.def.type = FieldType::String;
            c.def.size = 1;
            c.decimals = 0;
            break;
        case 'M':
        case 'B':
        case 'G':
        case 'P':
            throw EngineError(
                QStringLiteral(
                    "Cannot open table %1: field %2 is a memo or binary field (type %3), "
                    "which this program does not read")
                    .arg(m_path, c.def.name, QChar(c.type)));
        default:
            corrupt(QStringLiteral("unknown field type %1 in field %2")
                        .arg(hexByte(quint8(d[11])), c.def.name));
        }
        if (c.length == 0)
            corrupt(QStringLiteral("field %1 has length 0").arg(c.def.name));
        c.offset = fieldOffset;
        fieldOffset += c.length;
        m_columns.append(c);
        offset += kDescriptorSize;
    }
    if (offset >= m_headerLength)
        corrupt(QStringLiteral("the field list has no end mark"));
    if (m_columns.isEmpty())
        corrupt(QStringLiteral("the table has no fields"));
    if (fieldOffset != m_recordLength)
        corrupt(QStringLiteral("record length does not match the fields"));
    if (qint64(m_headerLength) + qint64(count) * m_recordLength > size)
        corrupt(QStringLiteral("the record count does not fit the file"));

    m_header = bytes.left(m_headerLength);
    m_rows.resize(count);
    for (quint32 i = 0; i < count; ++i) {
        const char *record = p + m_headerLength + qint64(i) * m_recordLength;
        m_rows[i].deleted = record[0] == kDeleted;
        m_rows[i].values = decode(record, int(i));
    }
}

RecordValues DbaseFile::decode(const char *record, int recordNumber) const
{
    RecordValues values(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i) {
        const Column &c = m_columns[i];
        const char *p = record + c.offset;
        switch (c.type) {
        case 'C': {
            int n = c.length;
            while (n > 0 && (p[n - 1] == ' ' || p[n - 1] == '\0'))
                --n;
            if (n > 0)
                values[i] = FromCp1252(p, n);
            break;
        }
        case 'D': {
            const QByteArray text = QByteArray(p, 8).trimmed();
            if (text.isEmpty() || isBlank(text.constData(), int(text.size()), '0'))
                break;
            QDate date;
            bool digits = text.size() == 8;
            for (char ch : text)
                digits = digits && ch >= '0' && ch <= '9';
            if (digits)
                date = QDate(text.left(4).toInt(), text.mid(4, 2).toInt(), text.mid(6, 2).toInt());
            if (!date.isValid())
                corrupt(QStringLiteral("bad date '%1' in field %2 of record %3")
                            .arg(QString::fromLatin1(text), c.def.name)
                            .arg(recordNumber + 1));
            values[i] = DayNumber(date);
            break;
        }
        case 'N':
        case 'F': {
            const QByteArray text = QByteArray(p, c.length).trimmed();
            // Blank, or the '*' fill some writers use for an empty number.
            if (text.isEmpty() || text.startsWith('*'))
                break;
            bool ok = false;
            const double value = text.toDouble(&ok);
            if (!ok)
                corrupt(QStringLiteral("bad number '%1' in field %2 of record %3")
                            .arg(QString::fromLatin1(text), c.def.name)
                            .arg(recordNumber + 1));
            values[i] = value;
            break;
        }
        case 'L':
            // '?' and blank are the unknown value.
            if (*p == 'T' || *p == 't' || *p == 'Y' || *p == 'y')
                values[i] = QStringLiteral("T");
            else if (*p == 'F' || *p == 'f' || *p == 'N' || *p == 'n')
                values[i] = QStringLiteral("F");
            break;
        }
    }
    return values;
}

// Writing values --------------------------------------------------------------------------------

QByteArray DbaseFile::encode(const RecordValues &values) const
{
    if (values.size() != m_columns.size())
        throw EngineError(QStringLiteral("Cannot write table %1: %2 values for %3 fields")
                              .arg(m_path)
                              .arg(values.size())
                              .arg(m_columns.size()));
    QByteArray record(m_recordLength, ' ');
    record[0] = kLive;
    for (int i = 0; i < m_columns.size(); ++i) {
        const Column &c = m_columns[i];
        const QVariant &v = values[i];
        char *out = record.data() + c.offset;
        auto misfit = [&](const QString &what) {
            throw EngineError(QStringLiteral("Value %1 does not fit field %2 of table %3")
                                  .arg(what, c.def.name, m_path));
        };
        if (isEmptyValue(v)) {
            if (c.type == 'L')
                *out = '?';
            continue;
        }
        switch (c.type) {
        case 'C': {
            const QByteArray text = ToCp1252(v.toString());
            if (text.size() > c.length)
                throw EngineError(
                    QStringLiteral("Text too long for field %1 of table %2 (at most %3 characters)")
                        .arg(c.def.name, m_path)
                        .arg(c.length));
            std::memcpy(out, text.constData(), size_t(text.size()));
            break;
        }
        case 'D': {
            bool ok = true;
            const QDate date =
                v.typeId() == QMetaType::QDate ? v.toDate() : DateOfDayNumber(v.toInt(&ok));
            if (!ok || !date.isValid() || date.year() < 1 || date.year() > 9999)
                misfit(QStringLiteral("'%1'").arg(v.toString()));
            const QByteArray text = date.toString(QStringLiteral("yyyyMMdd")).toLatin1();
            std::memcpy(out, text.constData(), 8);
            break;
        }
        case 'N':
        case 'F': {
            bool ok = false;
            const double value = v.toDouble(&ok);
            if (!ok || !std::isfinite(value))
                misfit(QStringLiteral("'%1'").arg(v.toString()));
            QByteArray text = QByteArray::number(value, 'f', c.decimals);
            if (text.startsWith('-') && text.count('0') == text.size() - 1 - (c.decimals > 0))
                text.remove(0, 1); // no minus sign on a value that rounds to zero
            if (text.size() > c.length)
                misfit(QString::fromLatin1(text));
            std::memcpy(out + c.length - text.size(), text.constData(), size_t(text.size()));
            break;
        }
        case 'L': {
            const QString text = v.toString().trimmed().toUpper();
            if (text == QLatin1String("T") || text == QLatin1String("Y"))
                *out = 'T';
            else if (text == QLatin1String("F") || text == QLatin1String("N"))
                *out = 'F';
            else
                misfit(QStringLiteral("'%1'").arg(v.toString()));
            break;
        }
        }
    }
    return record;
}

// Reading the table -----------------------------------------------------------------------------

QVector<FieldDef> DbaseFile::fields() const
{
    QVector<FieldDef> result;
    for (const Column &c : m_columns)
        result.append(c.def);
    return result;
}

QVector<IndexDef> DbaseFile::indexes() const
{
    QVector<IndexDef> result;
    for (const IndexFile::Index &index : m_index.indexes())
        result.append(index.def);
    return result;
}

qsizetype DbaseFile::recordCount() const
{
    return std::count_if(m_rows.cbegin(), m_rows.cend(), [](const Row &r) { return !r.deleted; });
}

void DbaseFile::readRecords(const RecordReader &take) const
{
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].deleted)
            continue;
        RecordValues values = m_rows[i].values;
        take(m_slotBase + quint32(i) + 1, values);
    }
}

QVector<quint32> DbaseFile::indexOrder(const QString &indexName) const
{
    checkOpen();
    const int tag = m_index.find(indexName);
    if (tag < 0)
        throw EngineError(QStringLiteral("Index not found: %1 (table %2)").arg(indexName, m_path));
    const IndexFile::Index &index = m_index.index(tag);
    QVector<quint32> order;
    order.reserve(index.count());
    for (int i = 0; i < index.count(); ++i) {
        const quint32 recordNumber =
            qFromBigEndian<quint32>(index.entry(i).data() + index.entryWidth - 4);
        order.append(m_slotBase + recordNumber + 1);
    }
    return order;
}

int DbaseFile::recordNumber(quint32 slot) const
{
    checkOpen();
    const qint64 n = qint64(slot) - m_slotBase - 1;
    if (slot <= m_slotBase || n >= m_rows.size() || m_rows[n].deleted)
        throw EngineError(QStringLiteral("Record not found in table %1").arg(m_path));
    return int(n);
}

// The production index --------------------------------------------------------------------------

QByteArray DbaseFile::entry(int tag, int recordNumber, const RecordValues &values) const
{
    const IndexFile::Index &index = m_index.index(tag);
    QByteArray e;
    e.reserve(index.entryWidth);
    for (int column : m_tags[tag].columns)
        AppendKey(e, m_columns[column].def, values[column], index.def.caseInsensitive);
    char number[4];
    qToBigEndian<quint32>(quint32(recordNumber), number);
    e.append(number, 4);
    return e;
}

QByteArray DbaseFile::entry(int tag, int recordNumber) const
{
    return entry(tag, recordNumber, m_rows[recordNumber].values);
}

QByteArray DbaseFile::liveEntries(int tag) const
{
    QByteArray all;
    for (int i = 0; i < m_rows.size(); ++i)
        if (!m_rows[i].deleted)
            all.append(entry(tag, i));
    return all;
}

void DbaseFile::openIndexes()
{
    m_indexPath = IndexFile::pathBeside(m_path, QStringLiteral(".mdx"));
    const QString dataName = QFileInfo(m_path).fileName();
    m_tags.clear();
    // Without a readable index file the tags are unknown; the file is left as it is.
    if (!m_index.load(m_indexPath, dataName))
        return;

    bool rewrite = m_index.isStale();
    QVector<IndexFile::Index> kept;
    for (const IndexFile::Index &index : m_index.indexes()) {
        Tag tag;
        int keyWidth = 0;
        for (const QString &name : index.def.fields) {
            int found = -1;
            for (int c = 0; c < m_columns.size(); ++c)
                if (m_columns[c].def.name.compare(name, Qt::CaseInsensitive) == 0)
                    found = c;
            tag.columns.append(found);
            if (found >= 0)
                keyWidth += KeyWidth(m_columns[found].def);
        }
        // A tag on fields the table no longer has, or of another layout, is dropped.
        if (index.kind != IndexKind::Records || tag.columns.contains(-1) ||
            index.keyWidth != keyWidth || index.entryWidth != keyWidth + 4) {
            rewrite = true;
            continue;
        }
        kept.append(index);
        m_tags.append(tag);
    }
    const bool dropped = kept.size() != m_index.indexes().size();
    if (dropped)
        m_index.trySave(m_indexPath, dataName, kept); // keeps `kept` in memory even if it fails
    // Every tag must hold exactly the live records, sorted; otherwise it is built again.
    for (int t = 0; t < kept.size(); ++t) {
        const QByteArray all = liveEntries(t);
        if (!IndexFile::holdsSorted(kept[t], all)) {
            kept[t].entries = IndexFile::sorted(all, kept[t].entryWidth);
            rewrite = true;
        }
    }
    if (rewrite)
        m_index.trySave(m_indexPath, dataName, kept);
}

void DbaseFile::checkUnique(const RecordValues &values, int recordNumber) const
{
    for (int t = 0; t < m_tags.size(); ++t) {
        if (!m_index.index(t).def.unique)
            continue;
        const QByteArray e = entry(t, recordNumber, values);
        const QByteArray own = recordNumber < m_rows.size() && !m_rows[recordNumber].deleted
                                   ? entry(t, recordNumber)
                                   : QByteArray();
        if (m_index.hasKey(t, e, own))
            throw EngineError(QStringLiteral("Key violation in table %1").arg(m_path));
    }
}

// Changes ---------------------------------------------------------------------------------------

void DbaseFile::writeCount(quint32 count)
{
    qToLittleEndian<quint32>(count, m_header.data() + 4);
    stampDate(m_header);
    m_file.writeAt(1, QByteArrayView(m_header).sliced(1, 7));
}

quint32 DbaseFile::append(RecordValues &values)
{
    checkOpen();
    const QByteArray record = encode(values);
    const int number = int(m_rows.size());
    checkUnique(values, number);
    // The record and the end-of-file byte first, the count last: until the count is written
    // the record is not part of the table.
    m_file.writeAt(m_headerLength + qint64(number) * m_recordLength,
                   record + QByteArray(1, kEndOfFile));
    writeCount(quint32(number + 1));
    values = decode(record.constData(), number);
    m_rows.append(Row{values, false});
    for (int t = 0; t < m_tags.size(); ++t)
        m_index.insertSorted(t, entry(t, number));
    return m_slotBase + quint32(number) + 1;
}

void DbaseFile::update(quint32 slot, const RecordValues &values)
{
    const int number = recordNumber(slot);
    const QByteArray record = encode(values);
    checkUnique(values, number);
    m_file.writeAt(m_headerLength + qint64(number) * m_recordLength, record);
    QVector<QByteArray> before;
    for (int t = 0; t < m_tags.size(); ++t)
        before.append(entry(t, number));
    m_rows[number].values = decode(record.constData(), number);
    for (int t = 0; t < m_tags.size(); ++t)
        m_index.replaceSorted(t, before[t], entry(t, number));
}

void DbaseFile::remove(quint32 slot)
{
    const int number = recordNumber(slot);
    m_file.writeAt(m_headerLength + qint64(number) * m_recordLength, QByteArrayView(&kDeleted, 1));
    for (int t = 0; t < m_tags.size(); ++t)
        m_index.removeSorted(t, entry(t, number));
    m_rows[number].deleted = true;
}

void DbaseFile::empty()
{
    checkOpen();
    // A table that holds no record is left as it is.
    if (m_rows.isEmpty() && qFromLittleEndian<quint32>(m_header.constData() + 4) == 0 &&
        m_file.size() == m_headerLength + 1) {
        m_index.setAll(QVector<QByteArray>(m_tags.size()));
        return;
    }
    // Header with no records and the end-of-file byte in one write, then the file is cut.
    QByteArray header = m_header;
    qToLittleEndian<quint32>(0, header.data() + 4);
    stampDate(header);
    m_file.writeAt(0, header + QByteArray(1, kEndOfFile));
    m_file.truncate(m_headerLength + 1);
    m_header = header;
    m_slotBase += quint32(m_rows.size());
    m_rows.clear();
    m_index.setAll(QVector<QByteArray>(m_tags.size()));
}

// Creating a table ------------------------------------------------------------------------------

void DbaseFile::create(const QString &path, const QVector<FieldDef> &fields,
                       const QVector<IndexDef> &indexes)
{
    const QFileInfo info(path);
    const QString target = ResolveFileName(info.path(), info.fileName());
    auto refuse = [&target](const QString &reason) {
        throw EngineError(QStringLiteral("Cannot create table %1: %2").arg(target, reason));
    };
    if (!info.absoluteDir().exists())
        refuse(QStringLiteral("the folder does not exist"));

    QByteArray descriptors;
    QVector<FieldDef> stored;
    QSet<QString> names;
    int recordLength = 1;
    for (const FieldDef &f : fields) {
        if (f.calculated)
            continue;
        const QByteArray name = ToCp1252(f.name);
        if (name.isEmpty() || name.size() > kMaxNameLength)
            refuse(QStringLiteral("field name '%1' must have 1 to %2 characters")
                       .arg(f.name)
                       .arg(kMaxNameLength));
        if (names.contains(f.name.toUpper()))
            refuse(QStringLiteral("field name %1 appears twice").arg(f.name));
        names.insert(f.name.toUpper());
        char type = 'C';
        int length = 0, decimals = 0;
        switch (f.type) {
        case FieldType::String:
            length = f.size;
            if (length < 1 || length > 254)
                refuse(QStringLiteral("text field %1 must have 1 to 254 characters").arg(f.name));
            break;
        case FieldType::Date:
            type = 'D';
            length = 8;
            break;
        case FieldType::Float:
            type = 'N';
            length = f.size > 0 ? f.size : kNumberWidth;
            decimals = f.decimals;
            if (length > 20 || decimals < 0 || decimals > 15 ||
                (decimals > 0 && decimals > length - 2))
                refuse(QStringLiteral("number field %1 cannot have width %2 with %3 decimals")
                           .arg(f.name)
                           .arg(length)
                           .arg(decimals));
            break;
        case FieldType::Integer:
            type = 'N';
            length = kIntegerWidth;
            break;
        case FieldType::AutoInc:
            refuse(
                QStringLiteral("field %1: dBase tables have no auto-increment fields").arg(f.name));
        }
        QByteArray d(kDescriptorSize, '\0');
        std::memcpy(d.data(), name.constData(), size_t(name.size()));
        d[11] = type;
        qToLittleEndian<quint32>(quint32(recordLength), d.data() + 12);
        d[16] = char(length);
        d[17] = char(decimals);
        descriptors.append(d);
        recordLength += length;
        stored.append(f);
    }
    if (stored.isEmpty())
        refuse(QStringLiteral("a table needs at least one field"));
    if (recordLength > 0xFFFF)
        refuse(QStringLiteral("the fields are too long for one record"));

    QVector<IndexFile::Index> tags;
    for (const IndexDef &def : indexes) {
        if (def.primary)
            refuse(QStringLiteral("dBase tables have no primary index"));
        if (def.name.isEmpty() || def.fields.isEmpty())
            refuse(QStringLiteral("an index needs a name and fields"));
        IndexFile::Index tag;
        tag.def = def;
        for (const QString &name : def.fields) {
            auto found = std::find_if(stored.begin(), stored.end(), [&](const FieldDef &f) {
                return f.name.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (found == stored.end())
                refuse(QStringLiteral("index %1 names a field the table lacks: %2")
                           .arg(def.name, name));
            FieldDef key = *found;
            if (key.type == FieldType::Integer)
                key.type = FieldType::Float; // as it reads back
            tag.keyWidth += KeyWidth(key);
        }
        for (const IndexFile::Index &other : tags)
            if (other.def.name.compare(def.name, Qt::CaseInsensitive) == 0)
                refuse(QStringLiteral("index name %1 appears twice").arg(def.name));
        tag.entryWidth = tag.keyWidth + 4;
        tags.append(tag);
    }

    const int headerLength = 32 + int(descriptors.size()) + 1;
    QByteArray bytes(32, '\0');
    bytes[0] = char(kVersion);
    stampDate(bytes);
    qToLittleEndian<quint16>(quint16(headerLength), bytes.data() + 8);
    qToLittleEndian<quint16>(quint16(recordLength), bytes.data() + 10);
    bytes[29] = char(kLanguageAnsi);
    // Bytes 28 and 31 of each field stay 0: with them set a dBase engine would look for a
    // dBase production index, which our .mdx is not.
    bytes.append(descriptors);
    bytes.append(kTerminator);
    bytes.append(kEndOfFile);
    DiskFile::replace(target, bytes);

    const QString indexPath = IndexFile::pathBeside(target, QStringLiteral(".mdx"));
    if (tags.isEmpty()) {
        QFile::remove(indexPath);
        return;
    }
    IndexFile index;
    index.save(indexPath, QFileInfo(target).fileName(), tags);
}
