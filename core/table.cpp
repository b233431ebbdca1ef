// SPDX-License-Identifier: MIT
#include "core/table.h"

#include "core/datasource.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/numbers.h"

#include <QDir>
#include <algorithm>
#include <filesystem>
#include <utility>

namespace
{

const QVariant &nullValue()
{
    static const QVariant empty;
    return empty;
}

// The value as the field type holds it: QString, double or int, each read in place when the
// variant already holds that type.
template <typename T> bool holds(const QVariant &value)
{
    // A built-in type has one interface: comparing it tells the type.
    return value.metaType().iface() == QMetaType::fromType<T>().iface();
}

template <typename T> const T &heldValue(const QVariant &value)
{
    return *static_cast<const T *>(value.constData());
}

QString textOf(const QVariant &value)
{
    return holds<QString>(value) ? heldValue<QString>(value) : value.toString();
}

double doubleOf(const QVariant &value)
{
    return holds<double>(value) ? heldValue<double>(value) : value.toDouble();
}

int intOf(const QVariant &value)
{
    return holds<int>(value) ? heldValue<int>(value) : value.toInt();
}

// The type a field of each kind holds its value in.
bool holdsFieldType(const QVariant &value, FieldType type)
{
    switch (type) {
    case FieldType::String:
        return holds<QString>(value);
    case FieldType::Float:
        return holds<double>(value);
    default:
        return holds<int>(value);
    }
}

QVariant convertValue(QVariant value, FieldType type)
{
    if (holdsFieldType(value, type)) {
        // A number is never null; a text is when it is a null string.
        if (holds<QString>(value) && heldValue<QString>(value).isNull())
            return {};
        return value;
    }
    if (!value.isValid() || value.isNull())
        return {};
    switch (type) {
    case FieldType::String:
        return value.toString();
    case FieldType::Float:
        return value.toDouble();
    default:
        return value.toInt();
    }
}

int compareValues(const QVariant &a, const QVariant &b, FieldType type, bool caseInsensitive)
{
    // Empty values sort first.
    if (!a.isValid() || !b.isValid())
        return int(a.isValid()) - int(b.isValid());
    switch (type) {
    case FieldType::String:
        return textOf(a).compare(textOf(b),
                                 caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    case FieldType::Float: {
        const double x = doubleOf(a), y = doubleOf(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    default: {
        const int x = intOf(a), y = intOf(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    }
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isValid() != b.isValid())
        return false;
    return !a.isValid() || a == b;
}

bool sameValues(const QVector<QVariant> &a, const QVector<QVariant> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), sameValue);
}

// Link values compare as text, whatever type each side holds.
bool sameText(const QVariant &a, const QVariant &b)
{
    if (holds<QString>(a) && holds<QString>(b))
        return heldValue<QString>(a) == heldValue<QString>(b);
    return a.toString() == b.toString();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Field

bool Field::isNull() const
{
    return !m_table->cell(m_index).isValid();
}

QVariant Field::value() const
{
    return m_table->cell(m_index);
}

QString Field::asString() const
{
    return stringOf(m_table->cell(m_index));
}

QString Field::stringOf(const QVariant &v) const
{
    if (!v.isValid())
        return {};
    switch (m_def.type) {
    case FieldType::Date:
        return ShortDateText(v.toInt());
    case FieldType::Float:
        return QString::number(doubleOf(v), 'g', 15);
    default:
        return textOf(v);
    }
}

int Field::asInteger() const
{
    const QVariant &v = m_table->cell(m_index);
    if (!v.isValid())
        return 0;
    if (m_def.type == FieldType::String) {
        bool ok = false;
        const int n = v.toString().trimmed().toInt(&ok);
        if (!ok)
            throw ConvertError(
                QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return n;
    }
    return v.toInt();
}

double Field::asFloat() const
{
    const QVariant &v = m_table->cell(m_index);
    if (holds<double>(v))
        return heldValue<double>(v);
    return v.isValid() ? v.toDouble() : 0.0;
}

int Field::asDate() const
{
    const QVariant &v = m_table->cell(m_index);
    if (holds<int>(v))
        return heldValue<int>(v);
    return v.isValid() ? v.toInt() : 0;
}

void Field::setValue(const QVariant &value)
{
    store(convertValue(value, m_def.type));
}

void Field::store(QVariant converted)
{
    if (m_def.type == FieldType::String && converted.isValid()) {
        const QString &text = heldValue<QString>(converted);
        if (text.isEmpty())
            converted = QVariant();
        else if (m_def.size > 0 && text.size() > m_def.size)
            converted = QVariant(text.left(m_def.size));
    }
    QVariant &cell = m_table->writableCell(m_index);
    if (!m_def.calculated && sameValue(cell, converted)) {
        unchanged();
        return;
    }
    cell = std::move(converted);
    changed();
}

template <typename T> void Field::storeHeld(T value)
{
    QVariant &cell = m_table->writableCell(m_index);
    if (holds<T>(cell)) {
        if (!m_def.calculated && heldValue<T>(cell) == value) {
            unchanged();
            return;
        }
        *static_cast<T *>(cell.data()) = value; // in place: a number is held in the variant
    } else {
        cell = QVariant(value);
    }
    changed();
}

void Field::unchanged()
{
    // Writing the same value still marks the record as changed, as typing it would.
    m_table->m_modified = true;
}

void Field::changed()
{
    if (m_def.calculated)
        m_table->m_calcPending[size_t(m_index)] = false;
    else
        m_table->fieldChanged(m_index);
}

void Field::setAsString(const QString &text)
{
    if (text.isEmpty()) {
        clear();
        return;
    }
    switch (m_def.type) {
    case FieldType::String:
        storeText(text);
        return;
    case FieldType::Date:
        setValue(DayNumber(StrToDate(text)));
        return;
    case FieldType::Float: {
        double v = 0;
        const QChar decimal = SystemSeparators().decimal;
        if (!ParseDecimal(text, &v, decimal) && !ParseDecimal(text, &v))
            throw ConvertError(
                QStringLiteral("'%1' is not a valid floating point value").arg(text));
        setValue(v);
        return;
    }
    default: {
        bool ok = false;
        const int n = text.trimmed().toInt(&ok);
        if (!ok)
            throw ConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
        setValue(n);
        return;
    }
    }
}

void Field::storeText(const QString &text)
{
    if (m_def.size > 0 && text.size() > m_def.size) {
        store(QVariant(text.left(m_def.size)));
        return;
    }
    QVariant &cell = m_table->writableCell(m_index);
    if (holds<QString>(cell)) {
        QString &held = *static_cast<QString *>(cell.data());
        // A shared copy of the same text is the same text, without reading it.
        const bool shared = held.constData() == text.constData() && held.size() == text.size();
        if (!m_def.calculated && (shared || held == text)) {
            unchanged();
            return;
        }
        if (!shared)
            held = text;
    } else {
        cell = QVariant(text);
    }
    changed();
}

void Field::setAsInteger(int value)
{
    if (m_def.type == FieldType::String || m_def.type == FieldType::Float)
        store(convertValue(QVariant(value), m_def.type));
    else
        storeHeld(value);
}

void Field::setAsFloat(double value)
{
    if (m_def.type == FieldType::Float)
        storeHeld(value);
    else
        store(convertValue(QVariant(value), m_def.type));
}

void Field::setAsDate(int dayNumber)
{
    if (m_def.type == FieldType::String || m_def.type == FieldType::Float)
        store(convertValue(QVariant(dayNumber), m_def.type));
    else
        storeHeld(dayNumber);
}

void Field::clear()
{
    setValue(QVariant());
}

QString Field::displayText() const
{
    return displayTextOf(m_table->cell(m_index));
}

QString Field::displayTextOf(const QVariant &v) const
{
    if (!v.isValid())
        return {};
    if (m_def.type == FieldType::Float && !m_def.displayFormat.isEmpty())
        return FormatFloat(m_def.displayFormat, v.toDouble());
    return stringOf(v);
}

QString Field::editText() const
{
    const QVariant &v = m_table->cell(m_index);
    if (!v.isValid())
        return {};
    if (m_def.type == FieldType::Float) {
        const QString &format = m_def.editFormat.isEmpty() ? m_def.displayFormat : m_def.editFormat;
        if (!format.isEmpty())
            return FormatFloat(format, v.toDouble());
        QString text = QString::number(v.toDouble(), 'g', 15);
        return text.replace(QLatin1Char('.'), SystemSeparators().decimal);
    }
    return asString();
}

// ---------------------------------------------------------------------------------------------
// Table: configuration

Table::Table(QString name) : m_name(std::move(name)) {}

Table::~Table()
{
    if (m_masterConnection)
        QObject::disconnect(m_masterConnection);
    for (DataSource *source : std::as_const(m_sources))
        source->m_dataSet = nullptr;
}

void Table::checkClosed(const char *what) const
{
    if (active())
        throw EngineError(QStringLiteral("Cannot change %1 of table %2 while it is open")
                              .arg(QLatin1String(what), m_name));
}

void Table::setDatabaseName(const QString &folder)
{
    checkClosed("the folder");
    m_databaseName = folder;
}

void Table::setTableName(const QString &fileName)
{
    checkClosed("the file");
    m_tableName = fileName;
}

QString Table::filePath() const
{
    return ResolveFileName(m_databaseName.isEmpty() ? QStringLiteral(".") : m_databaseName,
                           m_tableName);
}

Field &Table::addField(const FieldDef &def)
{
    checkClosed("the fields");
    if (!m_declaredFields) {
        m_fields.clear();
        m_fieldIndex.clear();
    }
    m_declaredFields = true;
    const int index = int(m_fields.size());
    m_fields.push_back(std::unique_ptr<Field>(new Field(this, def, index)));
    m_fieldIndex.insert(def.name.toUpper(), index);
    return *m_fields.back();
}

void Table::setIndexName(const QString &tag)
{
    m_indexName = tag;
    m_indexFieldNames.clear();
    if (active()) {
        resolveOrder();
        rebuildView(m_current >= 0 && m_state == TableState::Browse
                        ? m_records[m_view[m_current]].slot
                        : 0);
    }
}

void Table::setIndexFieldNames(const QString &names)
{
    m_indexFieldNames = names;
    m_indexName.clear();
    if (active()) {
        resolveOrder();
        rebuildView(m_current >= 0 && m_state == TableState::Browse
                        ? m_records[m_view[m_current]].slot
                        : 0);
    }
}

void Table::setMasterSource(DataSource *master, const QString &masterFields)
{
    if (m_masterConnection)
        QObject::disconnect(m_masterConnection);
    m_master = master;
    m_masterFields = masterFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString &f : m_masterFields)
        f = f.trimmed();
    if (master) {
        m_masterConnection = QObject::connect(
            master, &DataSource::changed,
            [this](DataSource::Change change, int arg) { masterChanged(int(change), arg); });
    }
    if (active()) {
        bindFields();
        rebuildView(0);
    }
}

Field &Table::fieldByName(const QString &name)
{
    Field *f = findField(name);
    if (!f)
        throw EngineError(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
    return *f;
}

Field *Table::findField(const QString &name) const
{
    const auto it = m_fieldIndex.constFind(name.toUpper());
    return it == m_fieldIndex.constEnd() ? nullptr : m_fields[*it].get();
}

// ---------------------------------------------------------------------------------------------
// Table: open and close

void Table::checkActive() const
{
    if (!active())
        throw EngineError(QStringLiteral("%1: Cannot perform this operation on a closed dataset")
                              .arg(m_name.isEmpty() ? QStringLiteral("Table") : m_name));
}

void Table::open()
{
    if (active())
        return;
    const QString path = filePath();
    if (!m_databaseName.isEmpty() && !QDir(m_databaseName).exists())
        throw EngineError(QStringLiteral("Folder does not exist: %1").arg(m_databaseName));
    std::unique_ptr<TableFile> file = TableFile::forPath(path);
    file->open(path);

    const QVector<FieldDef> fileFields = file->fields();
    if (!m_declaredFields) {
        m_fields.clear();
        m_fieldIndex.clear();
        for (const FieldDef &def : fileFields) {
            const int index = int(m_fields.size());
            m_fields.push_back(std::unique_ptr<Field>(new Field(this, def, index)));
            m_fieldIndex.insert(def.name.toUpper(), index);
        }
    }
    // Map the declared stored fields onto the file's columns.
    QVector<int> fileColumn(int(m_fields.size()), -1);
    for (const auto &field : m_fields) {
        if (field->isCalculated())
            continue;
        int column = -1;
        for (int c = 0; c < fileFields.size(); ++c)
            if (fileFields[c].name.compare(field->name(), Qt::CaseInsensitive) == 0)
                column = c;
        if (column < 0)
            throw EngineError(
                QStringLiteral("Field '%1' not found in table %2").arg(field->name(), path));
        fileColumn[field->index()] = column;
    }
    m_fileColumn = fileColumn;
    m_storedFields.clear();
    for (int c = 0; c < fileFields.size(); ++c)
        m_storedFields.append(-1);
    for (int i = 0; i < m_fileColumn.size(); ++i)
        if (m_fileColumn[i] >= 0)
            m_storedFields[m_fileColumn[i]] = i;
    // Columns the program does not declare follow the fields in each buffer.
    m_valueCount = int(m_fields.size());
    for (int &index : m_storedFields)
        if (index < 0)
            index = m_valueCount++;
    m_columnTypes.clear();
    for (const FieldDef &def : fileFields)
        m_columnTypes.append(def.type);
    m_calculatedFields.clear();
    for (const auto &field : m_fields)
        if (field->isCalculated())
            m_calculatedFields.append(field->index());
    m_calcPending.assign(m_fields.size(), false);

    m_file = std::move(file);
    loadRecords();
    resolveOrder();
    bindFields();
    m_state = TableState::Browse;
    m_modified = false;
    rebuildView(0);
    notify(int(DataSource::Change::Opened), -1);
}

void Table::loadRecords()
{
    m_records.clear();
    m_records.reserve(size_t(m_file->recordCount()));
    QVector<FieldType> types;
    for (int c = 0; c < m_storedFields.size(); ++c)
        types.append(valueType(c));
    m_file->readRecords([&](quint32 slot, RecordValues &values) {
        Buffer &b = m_records.emplace_back();
        b.slot = slot;
        b.values.resize(m_valueCount);
        const qsizetype columns = std::min(values.size(), qsizetype(m_storedFields.size()));
        for (qsizetype c = 0; c < columns; ++c) {
            QVariant &value = values[c];
            if (!value.isValid())
                continue;
            QVariant &cell = b.values[m_storedFields[c]];
            if (holdsFieldType(value, types[c]) && !holds<QString>(value))
                cell.swap(value);
            else
                cell = convertValue(std::move(value), types[c]);
        }
    });
    reindexSlots();
    m_stamp = fileStamp();
}

Table::FileStamp Table::fileStamp() const
{
    std::error_code error;
    const std::filesystem::path path = m_file->path().toStdString();
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    stamp.time = std::filesystem::last_write_time(path, error).time_since_epoch().count();
    return stamp;
}

void Table::close()
{
    if (!active())
        return;
    if (beforeClose)
        beforeClose(*this);
    m_state = TableState::Inactive;
    m_modified = false;
    m_edit = Buffer();
    m_records.clear();
    m_slotIndex.clear();
    m_view.clear();
    m_current = -1;
    m_eof = m_bof = true;
    if (m_file)
        m_file->close();
    m_file.reset();
    notify(int(DataSource::Change::Closed), -1);
}

void Table::emptyTable()
{
    if (!active()) {
        const QString path = filePath();
        std::unique_ptr<TableFile> file = TableFile::forPath(path);
        file->open(path);
        file->empty();
        file->close();
        return;
    }
    checkBrowseMode();
    m_file->empty();
    m_stamp = fileStamp();
    m_records.clear();
    m_slotIndex.clear();
    rebuildView(0);
}

void Table::reindexSlots()
{
    m_slotIndex.clear();
    for (int i = 0; i < int(m_records.size()); ++i)
        m_slotIndex.insert(m_records[size_t(i)].slot, i);
}

void Table::resolveOrder()
{
    m_orderFields.clear();
    m_orderIndex.clear();
    m_hasOrderIndex = false;
    m_orderCaseInsensitive = false;
    if (!m_file)
        return;
    QStringList names;
    const QVector<IndexDef> indexes = m_file->indexes();
    if (!m_indexName.isEmpty()) {
        bool found = false;
        for (const IndexDef &index : indexes) {
            if (index.name.compare(m_indexName, Qt::CaseInsensitive) == 0) {
                names = index.fields;
                m_orderIndex = index.name;
                m_hasOrderIndex = true;
                m_orderCaseInsensitive = index.caseInsensitive;
                found = true;
            }
        }
        if (!found)
            throw EngineError(QStringLiteral("Index '%1' not found for table %2")
                                  .arg(m_indexName, m_file->path()));
    } else if (!m_indexFieldNames.isEmpty()) {
        names = m_indexFieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &n : names)
            n = n.trimmed();
        // Use the file's index on exactly these fields when there is one.
        for (const IndexDef &index : indexes) {
            if (index.fields.size() != names.size())
                continue;
            bool same = true;
            for (int i = 0; i < names.size(); ++i)
                same = same && index.fields[i].compare(names[i], Qt::CaseInsensitive) == 0;
            if (same) {
                m_orderIndex = index.name;
                m_hasOrderIndex = true;
                m_orderCaseInsensitive = index.caseInsensitive;
                break;
            }
        }
    }
    const QVector<FieldDef> fileFields = m_file->fields();
    for (const QString &n : std::as_const(names)) {
        Field *f = findField(n);
        if (f && !f->isCalculated()) {
            m_orderFields.append(f->index());
            continue;
        }
        // A column of the file that the program does not declare still orders the records.
        int column = -1;
        for (int c = 0; c < fileFields.size(); ++c)
            if (fileFields[c].name.compare(n, Qt::CaseInsensitive) == 0)
                column = c;
        if (column < 0)
            throw EngineError(QStringLiteral("Field '%1' not found").arg(n));
        m_orderFields.append(-(column + 1));
    }
    if (!m_orderFields.isEmpty() && !m_hasOrderIndex && !m_indexFieldNames.isEmpty()) {
        // An order without a file index: sorted in memory.
    }
}

void Table::bindFields()
{
    m_linkFields.clear();
    for (const QString &name : std::as_const(m_masterFields)) {
        Field *f = findField(name);
        if (!f)
            throw EngineError(QStringLiteral("Field '%1' not found").arg(name));
        m_linkFields.append(f->index());
    }
}

// ---------------------------------------------------------------------------------------------
// Table: the view (the rows the cursor moves over)

bool Table::masterFilterActive() const
{
    return m_master && m_master->dataSet() && m_master->dataSet()->active() &&
           !m_linkFields.isEmpty();
}

bool Table::matchesMaster(const Buffer &buffer) const
{
    if (!masterFilterActive())
        return true;
    for (int i = 0; i < m_linkFields.size(); ++i) {
        const QVariant &mine = buffer.values[m_linkFields[i]];
        const QVariant &theirs = i < m_masterKey.size() ? m_masterKey[i] : nullValue();
        if (!mine.isValid() || !theirs.isValid() || !sameText(mine, theirs))
            return false;
    }
    return true;
}

const QVariant &Table::orderValue(const Buffer &buffer, int key) const
{
    return buffer.values[key >= 0 ? key : m_storedFields[-key - 1]];
}

FieldType Table::valueType(int column) const
{
    const int index = m_storedFields[column];
    return index < int(m_fields.size()) ? m_fields[size_t(index)]->type() : m_columnTypes[column];
}

bool Table::lessInOrder(const Buffer &a, const Buffer &b) const
{
    for (int f : m_orderFields) {
        const FieldType type = f >= 0 ? m_fields[size_t(f)]->type() : m_columnTypes[-f - 1];
        const int c =
            compareValues(orderValue(a, f), orderValue(b, f), type, m_orderCaseInsensitive);
        if (c != 0)
            return c < 0;
    }
    return a.slot < b.slot;
}

int Table::sortedPosition(const Buffer &buffer) const
{
    // First row that sorts after the buffer.
    const auto it = std::upper_bound(m_view.begin(), m_view.end(), 0, [&](int, int recordIndex) {
        return lessInOrder(buffer, m_records[size_t(recordIndex)]);
    });
    return int(it - m_view.begin());
}

void Table::rebuildView(quint32 keepSlot)
{
    // The master's link values the view is built for.
    m_masterKey = currentMasterKey();
    collectRows();
    calculateView(keepSlot);
}

QVector<QVariant> Table::currentMasterKey() const
{
    QVector<QVariant> key;
    if (masterFilterActive()) {
        Table *master = m_master->dataSet();
        for (const QString &name : std::as_const(m_masterFields))
            key.append(master->fieldByName(name).value());
    }
    return key;
}

void Table::collectRows()
{
    m_view.clear();
    if (m_hasOrderIndex || (m_orderFields.isEmpty() && m_file)) {
        // The file's index gives the order (or its physical order when there is no order).
        const QVector<quint32> order =
            m_hasOrderIndex ? m_file->indexOrder(m_orderIndex) : QVector<quint32>();
        if (!order.isEmpty() || !m_hasOrderIndex) {
            if (!m_hasOrderIndex) {
                for (int i = 0; i < int(m_records.size()); ++i)
                    if (matchesMaster(m_records[size_t(i)]))
                        m_view.append(i);
            } else {
                for (quint32 slot : order) {
                    const int index = m_slotIndex.value(slot);
                    if (index >= 0 && matchesMaster(m_records[size_t(index)]))
                        m_view.append(index);
                }
            }
        }
        // An index that does not cover every record is no order at all: sort in memory.
        if (m_hasOrderIndex && m_view.size() != int(m_records.size()) && !masterFilterActive()) {
            m_view.clear();
        }
    }
    if (m_view.isEmpty() && !m_records.empty()) {
        for (int i = 0; i < int(m_records.size()); ++i)
            if (matchesMaster(m_records[size_t(i)]))
                m_view.append(i);
        if (!m_orderFields.isEmpty())
            std::stable_sort(m_view.begin(), m_view.end(), [&](int a, int b) {
                return lessInOrder(m_records[size_t(a)], m_records[size_t(b)]);
            });
    }
}

void Table::calculateView(quint32 keepSlot)
{
    // Every record is calculated anew when it is next read; the current one at once, so that a
    // failing calculation shows here.
    if (++m_calcRound == 0) {
        m_calcRound = 1;
        for (Buffer &b : m_records)
            b.calcRound = 0;
    }
    m_current = m_view.isEmpty() ? -1 : 0;
    if (keepSlot) {
        const int kept = m_slotIndex.value(keepSlot);
        const qsizetype row = m_view.indexOf(kept);
        if (kept >= 0 && row >= 0)
            m_current = int(row);
    }
    m_bof = true;
    m_eof = m_view.isEmpty();
    if (m_current >= 0)
        fresh(m_records[size_t(m_view[m_current])]);
    notify(int(DataSource::Change::RowsReset), -1);
}

int Table::recordIndexOfRow(int row) const
{
    if (m_state == TableState::Insert) {
        if (row == m_current)
            return -1;
        if (row > m_current)
            --row;
    }
    return row >= 0 && row < m_view.size() ? m_view[row] : -1;
}

int Table::recordCount() const
{
    return active() ? int(m_view.size()) : 0;
}

int Table::rowCount() const
{
    if (!active())
        return 0;
    return int(m_view.size()) + (m_state == TableState::Insert ? 1 : 0);
}

QVariant Table::rowValue(int row, int fieldIndex) const
{
    if (fieldIndex < 0 || fieldIndex >= fieldCount())
        return {};
    if ((m_state == TableState::Insert || m_state == TableState::Edit) && row == m_current)
        return m_edit.values[fieldIndex];
    const int index = recordIndexOfRow(row);
    if (index < 0)
        return {};
    return freshForGrid(m_records[size_t(index)]).values[fieldIndex];
}

QString Table::rowDisplayText(int row, int fieldIndex) const
{
    if (fieldIndex < 0 || fieldIndex >= fieldCount())
        return {};
    const Buffer *buffer = nullptr;
    if ((m_state == TableState::Insert || m_state == TableState::Edit) && row == m_current) {
        buffer = &m_edit;
    } else {
        const int index = recordIndexOfRow(row);
        if (index < 0)
            return {};
        buffer = &freshForGrid(m_records[size_t(index)]);
    }
    return m_fields[size_t(fieldIndex)]->displayTextOf(buffer->values[fieldIndex]);
}

// ---------------------------------------------------------------------------------------------
// Table: the current record

const Table::Buffer *Table::readBuffer() const
{
    if (m_readOverride)
        return m_readOverride;
    if (m_state == TableState::Insert || m_state == TableState::Edit)
        return &m_edit;
    if (m_state == TableState::Browse && m_current >= 0 && m_current < m_view.size())
        return &m_records[size_t(m_view[m_current])];
    return nullptr;
}

const Table::Buffer &Table::fresh(const Buffer &stored) const
{
    // The edit buffer is calculated at every change and is never behind.
    if (stored.calcRound != m_calcRound && &stored != &m_edit)
        const_cast<Table *>(this)->calculate(const_cast<Buffer &>(stored));
    return stored;
}

const Table::Buffer &Table::freshForGrid(const Buffer &stored) const
{
    try {
        fresh(stored);
    } catch (...) {
        // A grid only shows what the calculation gave; the cursor reports its failure.
    }
    return stored;
}

const QVariant &Table::cell(int fieldIndex) const
{
    if (m_calcTarget) {
        // A calculated field reads empty until the handler has written it.
        if (m_calcPending[size_t(fieldIndex)])
            return nullValue();
        return m_calcTarget->values[fieldIndex];
    }
    const Buffer *buffer = readBuffer();
    return buffer ? fresh(*buffer).values[fieldIndex] : nullValue();
}

QVariant &Table::writableCell(int fieldIndex)
{
    if (m_calcTarget) {
        if (!m_fields[size_t(fieldIndex)]->isCalculated())
            throw EngineError(QStringLiteral("Field '%1' cannot be modified while calculating")
                                  .arg(m_fields[size_t(fieldIndex)]->name()));
        return m_calcTarget->values[fieldIndex];
    }
    if (m_state != TableState::Insert && m_state != TableState::Edit)
        throw EngineError(QStringLiteral("%1: Dataset not in edit or insert mode")
                              .arg(m_name.isEmpty() ? QStringLiteral("Table") : m_name));
    if (m_fields[size_t(fieldIndex)]->def().readOnly &&
        !m_fields[size_t(fieldIndex)]->isCalculated())
        throw EngineError(QStringLiteral("Field '%1' cannot be modified")
                              .arg(m_fields[size_t(fieldIndex)]->name()));
    return m_edit.values[fieldIndex];
}

void Table::fieldChanged(int fieldIndex)
{
    m_modified = true;
    calculate(m_edit);
    notify(int(DataSource::Change::FieldChanged), fieldIndex);
}

void Table::calculate(Buffer &buffer)
{
    if (m_calcTarget)
        return;
    buffer.calcRound = m_calcRound;
    if (!onCalcFields || m_calculatedFields.isEmpty())
        return;
    // The calculated fields start empty; the values of the last calculation stay in place
    // until the handler writes them, so that writing the same value costs nothing.
    for (int index : std::as_const(m_calculatedFields))
        m_calcPending[size_t(index)] = true;
    const auto finish = [&] {
        m_calcTarget = nullptr;
        for (int index : std::as_const(m_calculatedFields))
            if (std::exchange(m_calcPending[size_t(index)], char(false)))
                buffer.values[index] = QVariant();
    };
    m_calcTarget = &buffer;
    try {
        onCalcFields(*this);
    } catch (...) {
        finish();
        buffer.calcRound = 0; // tried again at the next read
        throw;
    }
    finish();
}

RecordValues Table::storedValues(const Buffer &buffer) const
{
    RecordValues values(m_storedFields.size());
    for (int c = 0; c < m_storedFields.size(); ++c)
        values[c] = buffer.values[m_storedFields[c]];
    return values;
}

void Table::setState(TableState state)
{
    if (m_state == state)
        return;
    m_state = state;
    notify(int(DataSource::Change::StateChanged), -1);
}

void Table::notify(int change, int row)
{
    // Copy: a listener may add or remove data sources.
    const QVarLengthArray<DataSource *, 4> sources(m_sources.cbegin(), m_sources.cend());
    for (DataSource *source : sources)
        source->notify(DataSource::Change(change), row);
}

void Table::masterChanged(int change, int arg)
{
    if (!active())
        return;
    const auto c = DataSource::Change(change);
    if (c == DataSource::Change::StateChanged)
        return;
    if (c == DataSource::Change::FieldChanged) {
        // Only a change of a link field moves the detail.
        Table *master = m_master ? m_master->dataSet() : nullptr;
        if (!master || arg < 0 || arg >= master->fieldCount())
            return;
        const QString &name = master->fields()[size_t(arg)]->name();
        bool isLink = false;
        for (const QString &f : std::as_const(m_masterFields))
            isLink = isLink || f.compare(name, Qt::CaseInsensitive) == 0;
        if (!isLink)
            return;
    }
    // The detail follows its master: a line being typed is stored or dropped first.
    checkBrowseMode();
    rebuildView(0);
}

// ---------------------------------------------------------------------------------------------
// Table: cursor

void Table::moveCursor(int row)
{
    const int count = int(m_view.size());
    if (count == 0) {
        m_current = -1;
        m_bof = m_eof = true;
    } else {
        m_current = std::clamp(row, 0, count - 1);
    }
    notify(int(DataSource::Change::CurrentMoved), m_current);
}

void Table::first()
{
    checkActive();
    checkBrowseMode();
    moveCursor(0);
    m_bof = true;
    m_eof = m_view.isEmpty();
}

void Table::last()
{
    checkActive();
    checkBrowseMode();
    moveCursor(int(m_view.size()) - 1);
    m_eof = true;
    m_bof = m_view.isEmpty();
}

void Table::next()
{
    checkActive();
    checkBrowseMode();
    if (m_current + 1 >= m_view.size()) {
        m_eof = true;
        return;
    }
    m_bof = false;
    m_eof = false;
    moveCursor(m_current + 1);
}

void Table::prior()
{
    checkActive();
    checkBrowseMode();
    if (m_current <= 0) {
        m_bof = true;
        return;
    }
    m_bof = false;
    m_eof = false;
    moveCursor(m_current - 1);
}

void Table::moveTo(int row)
{
    checkActive();
    if (row == m_current && m_state == TableState::Browse)
        return;
    if (m_state == TableState::Insert || m_state == TableState::Edit) {
        if (row == m_current)
            return;
        // Rows after a pending insert shift up once it is dropped.
        const bool wasInsert = m_state == TableState::Insert;
        const int insertRow = m_current;
        const bool dropped = wasInsert && !m_modified;
        checkBrowseMode();
        if (dropped && row > insertRow)
            --row;
    }
    m_bof = row <= 0;
    m_eof = false;
    moveCursor(row);
}

void Table::refresh()
{
    checkActive();
    checkBrowseMode();
    const quint32 slot =
        m_current >= 0 && m_current < m_view.size() ? m_records[size_t(m_view[m_current])].slot : 0;
    // Re-read the file when another cursor has written it since we last read it.
    if (!(fileStamp() == m_stamp)) {
        const QString path = m_file->path();
        m_file->close();
        m_file->open(path);
        loadRecords();
    } else if (sameValues(currentMasterKey(), m_masterKey)) {
        // Nothing stored has changed: the rows stay, their calculated fields are computed anew.
        calculateView(slot);
        return;
    }
    rebuildView(slot);
}

void Table::checkBrowseMode()
{
    if (m_state != TableState::Insert && m_state != TableState::Edit)
        return;
    if (m_modified)
        post();
    else
        cancel();
}

// ---------------------------------------------------------------------------------------------
// Table: editing

void Table::startInsert(bool append)
{
    checkActive();
    checkBrowseMode();
    if (beforeInsert)
        beforeInsert(*this);
    m_rowBeforeInsert = m_current;
    m_edit = Buffer();
    m_edit.values.resize(m_valueCount);
    int row = append || m_current < 0 ? int(m_view.size()) : m_current;
    // A new record of a detail starts with its master's link values.
    if (masterFilterActive())
        for (int i = 0; i < m_linkFields.size() && i < m_masterKey.size(); ++i)
            m_edit.values[m_linkFields[i]] =
                convertValue(m_masterKey[i], m_fields[size_t(m_linkFields[i])]->type());
    m_current = row;
    m_state = TableState::Insert;
    notify(int(DataSource::Change::RowInserted), row);
    notify(int(DataSource::Change::StateChanged), -1);
    if (onNewRecord) {
        try {
            onNewRecord(*this);
        } catch (...) {
            m_state = TableState::Browse;
            m_current = m_rowBeforeInsert;
            m_edit = Buffer();
            notify(int(DataSource::Change::RowRemoved), row);
            notify(int(DataSource::Change::StateChanged), -1);
            throw;
        }
    }
    m_modified = false;
    calculate(m_edit);
    m_eof = m_bof = false;
    notify(int(DataSource::Change::RowChanged), m_current);
    notify(int(DataSource::Change::CurrentMoved), m_current);
}

void Table::append()
{
    startInsert(true);
}

void Table::insert()
{
    startInsert(false);
}

void Table::edit()
{
    checkActive();
    if (m_state == TableState::Insert || m_state == TableState::Edit)
        return;
    if (m_view.isEmpty()) {
        insert();
        return;
    }
    if (beforeEdit)
        beforeEdit(*this);
    m_edit = fresh(m_records[size_t(m_view[m_current])]);
    m_modified = false;
    setState(TableState::Edit);
}

void Table::post()
{
    checkActive();
    if (m_state != TableState::Insert && m_state != TableState::Edit)
        return;
    if (beforePost)
        beforePost(*this);
    for (const auto &f : m_fields) {
        if (!f->isCalculated() && f->def().required && f->def().type != FieldType::AutoInc &&
            !m_edit.values[f->index()].isValid())
            throw EngineError(QStringLiteral("Field '%1' must have a value").arg(f->name()));
    }
    RecordValues values = storedValues(m_edit);
    int recordIndex = -1;
    if (m_state == TableState::Insert) {
        const quint32 slot = m_file->append(values);
        m_stamp = fileStamp();
        m_edit.slot = slot;
        // The file numbers auto-increment fields.
        for (int c = 0; c < m_storedFields.size() && c < values.size(); ++c)
            m_edit.values[m_storedFields[c]] = convertValue(values[c], valueType(c));
        m_records.push_back(m_edit);
        recordIndex = int(m_records.size()) - 1;
        m_slotIndex.insert(slot, recordIndex);
        const int pendingRow = m_current;
        m_state = TableState::Browse;
        notify(int(DataSource::Change::RowRemoved), pendingRow);
    } else {
        m_file->update(m_edit.slot, values);
        m_stamp = fileStamp();
        recordIndex = m_slotIndex.value(m_edit.slot);
        m_records[size_t(recordIndex)] = m_edit;
        const int row = m_current;
        m_view.remove(row);
        m_state = TableState::Browse;
        notify(int(DataSource::Change::RowRemoved), row);
    }
    m_modified = false;
    Buffer &stored = m_records[size_t(recordIndex)];
    calculate(stored);
    int row = -1;
    if (matchesMaster(stored)) {
        row = sortedPosition(stored);
        m_view.insert(row, recordIndex);
        notify(int(DataSource::Change::RowInserted), row);
    }
    m_current = row >= 0 ? row : std::min(m_current, int(m_view.size()) - 1);
    m_eof = m_bof = m_view.isEmpty();
    m_edit = Buffer();
    notify(int(DataSource::Change::StateChanged), -1);
    notify(int(DataSource::Change::RowChanged), m_current);
    notify(int(DataSource::Change::CurrentMoved), m_current);
    if (afterPost)
        afterPost(*this);
}

void Table::cancel()
{
    if (m_state == TableState::Insert) {
        const int row = m_current;
        m_state = TableState::Browse;
        m_modified = false;
        m_edit = Buffer();
        m_current =
            m_view.isEmpty() ? -1 : std::clamp(m_rowBeforeInsert, 0, int(m_view.size()) - 1);
        notify(int(DataSource::Change::RowRemoved), row);
        notify(int(DataSource::Change::StateChanged), -1);
        notify(int(DataSource::Change::CurrentMoved), m_current);
    } else if (m_state == TableState::Edit) {
        m_state = TableState::Browse;
        m_modified = false;
        m_edit = Buffer();
        notify(int(DataSource::Change::StateChanged), -1);
        notify(int(DataSource::Change::RowChanged), m_current);
    }
}

void Table::deleteRecord()
{
    checkActive();
    if (m_state == TableState::Insert) {
        cancel();
        return;
    }
    if (m_view.isEmpty())
        throw EngineError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const int recordIndex = m_view[m_current];
    if (beforeDelete) {
        // The handler sees the record as stored, not the changes of an edit in progress.
        const Buffer *saved = m_readOverride;
        m_readOverride = &m_records[size_t(recordIndex)];
        try {
            beforeDelete(*this);
        } catch (...) {
            m_readOverride = saved;
            throw;
        }
        m_readOverride = saved;
    }
    m_file->remove(m_records[size_t(recordIndex)].slot);
    m_stamp = fileStamp();
    const int row = m_current;
    m_records.erase(m_records.begin() + recordIndex);
    m_view.remove(row);
    for (int &index : m_view)
        if (index > recordIndex)
            --index;
    reindexSlots();
    const bool wasEdit = m_state == TableState::Edit;
    m_state = TableState::Browse;
    m_modified = false;
    m_edit = Buffer();
    m_current = m_view.isEmpty() ? -1 : std::min(row, int(m_view.size()) - 1);
    m_eof = m_bof = m_view.isEmpty();
    notify(int(DataSource::Change::RowRemoved), row);
    if (wasEdit)
        notify(int(DataSource::Change::StateChanged), -1);
    notify(int(DataSource::Change::CurrentMoved), m_current);
}
