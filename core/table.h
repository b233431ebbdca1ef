// SPDX-License-Identifier: MIT
#pragma once

#include "core/datasource.h"
#include "core/fielddef.h"
#include "core/slotindex.h"
#include "core/tablefile.h"

#include <QHash>
#include <QPointer>
#include <QString>
#include <QVarLengthArray>
#include <QVariant>
#include <QVector>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class DataSource;
class Table;

enum class TableState { Inactive, Browse, Insert, Edit };

// A field of a table, read and written through the table's current record (or, while the
// calculated-field handler runs, the record being calculated).
class Field
{
public:
    const FieldDef &def() const { return m_def; }
    const QString &name() const { return m_def.name; }
    FieldType type() const { return m_def.type; }
    bool isCalculated() const { return m_def.calculated; }
    int index() const { return m_index; }
    Table &table() const { return *m_table; }

    bool isNull() const;
    QVariant value() const;
    QString asString() const; // dates as short date text, numbers in plain decimal
    int asInteger() const;    // empty gives 0
    double asFloat() const;   // empty gives 0
    int asDate() const;       // day number; empty gives 0

    void setValue(const QVariant &value);
    void setAsString(const QString &text); // empty text clears; bad text throws ConvertError
    void setAsInteger(int value);
    void setAsFloat(double value);
    void setAsDate(int dayNumber);
    void clear();

    // The text a grid shows: numbers through the display format, dates as short date text.
    QString displayText() const;
    // The text a cell editor starts with: numbers through the edit format.
    QString editText() const;

private:
    friend class Table;
    Field(Table *table, FieldDef def, int index)
        : m_table(table), m_def(std::move(def)), m_index(index)
    {
    }

    QString stringOf(const QVariant &value) const;      // asString of a value of this field
    QString displayTextOf(const QVariant &value) const; // displayText of a value of this field
    void store(QVariant converted);                     // a value already of the field's type
    template <typename T> void storeHeld(T value);      // a value of the type the field holds
    void storeText(const QString &text);                // a String field's text, not empty
    void unchanged(); // the value written is the one the field has
    void changed();   // a new value was written

    Table *m_table;
    FieldDef m_def;
    int m_index; // position in the table's field list
};

// A cursor-based table: a folder (DatabaseName), a file (TableName), field definitions
// (stored and calculated), a current order, an optional master it follows as detail, and the
// handlers the owner hangs on its events.
//
// Every operation either completes or leaves table and files as they were: a before-handler
// refuses by throwing Abort; other failures throw EngineError.
class Table
{
public:
    using Handler = std::function<void(Table &)>;

    explicit Table(QString name = {});
    ~Table();
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    QString name() const { return m_name; }

    // Configuration; the folder and file can only be set while the table is closed.
    void setDatabaseName(const QString &folder);
    QString databaseName() const { return m_databaseName; }
    void setTableName(const QString &fileName);
    QString tableName() const { return m_tableName; }
    QString filePath() const; // the data file, resolved without regard to letter case

    // Declared fields. When none are declared, the file's fields are used as they are.
    Field &addField(const FieldDef &def);
    void setIndexName(const QString &tag);         // current order by index tag
    void setIndexFieldNames(const QString &names); // current order by field list "A;B"
    void setMasterSource(DataSource *master, const QString &masterFields);
    DataSource *masterSource() const { return m_master; }

    // Handlers, each optional.
    Handler beforeInsert, beforeEdit, beforeDelete, beforePost, afterPost, beforeClose, onNewRecord,
        onCalcFields;

    // Open and close.
    void open();
    void close();
    bool active() const { return m_state != TableState::Inactive; }
    void setActive(bool active) { active ? open() : close(); }
    void emptyTable(); // removes all records, keeps structure and files; works open or closed

    TableState state() const { return m_state; }
    bool modified() const { return m_modified; }

    // Cursor. Moving while inserting or editing first stores a changed record, drops an
    // unchanged one.
    void first();
    void next();
    void prior();
    void last();
    void moveTo(int row);
    bool eof() const { return m_eof; }
    bool bof() const { return m_bof; }
    bool isEmpty() const { return rowCount() == 0; }
    int recordCount() const; // stored records in view (an unposted insert not counted)
    int rowCount() const;    // rows in view, an unposted insert counted
    int currentRow() const { return m_current; } // -1 when empty
    void refresh();                              // re-reads all records from the view

    void append();
    void insert();
    void edit();
    void post();
    void cancel();
    void deleteRecord();
    // Stores a changed record, drops an unchanged one; nothing in browse state.
    void checkBrowseMode();

    // Fields.
    const std::vector<std::unique_ptr<Field>> &fields() const { return m_fields; }
    Field &fieldByName(const QString &name);
    Field *findField(const QString &name) const;
    int fieldCount() const { return int(m_fields.size()); }

    // Read access to any row of the view without moving the cursor (for grids): the edit
    // buffer for the current row while inserting or editing, the read buffer otherwise.
    QVariant rowValue(int row, int fieldIndex) const;
    QString rowDisplayText(int row, int fieldIndex) const;
    bool rowIsInserting(int row) const { return m_state == TableState::Insert && row == m_current; }

private:
    friend class Field;
    friend class DataSource;

    // One record. Its values sit in the buffer itself, so that a pass over the records reads
    // memory in one run: the fields in field order, then the file's columns that the program
    // does not declare (INCR), kept so that a post writes back what the file holds.
    struct Buffer {
        quint32 slot = 0;      // file slot of a stored record
        quint32 calcRound = 0; // the round its calculated fields belong to (m_calcRound)
        QVarLengthArray<QVariant, 8> values;
    };

    QVariant &writableCell(int fieldIndex);
    const QVariant &cell(int fieldIndex) const;
    void fieldChanged(int fieldIndex);
    void calculate(Buffer &buffer);
    const Buffer &fresh(const Buffer &stored) const;
    const Buffer &freshForGrid(const Buffer &stored) const; // failures left to the cursor
    const Buffer *readBuffer() const;
    void rebuildView(quint32 keepSlot);
    void collectRows();
    void calculateView(quint32 keepSlot);
    QVector<QVariant> currentMasterKey() const;
    void setState(TableState state);
    void notify(int change, int row);
    void masterChanged(int change, int arg);
    bool masterFilterActive() const;
    bool matchesMaster(const Buffer &buffer) const;
    bool lessInOrder(const Buffer &a, const Buffer &b) const;
    const QVariant &orderValue(const Buffer &buffer, int key) const;
    FieldType valueType(int column) const; // of the value that holds file column `column`
    int sortedPosition(const Buffer &buffer) const;
    int recordIndexOfRow(int row) const;
    RecordValues storedValues(const Buffer &buffer) const;
    void checkActive() const;
    void checkClosed(const char *what) const;
    void moveCursor(int row);
    void startInsert(bool append);
    void resolveOrder();
    void bindFields();
    void reindexSlots();
    void loadRecords();
    struct FileStamp {
        std::uintmax_t size = 0;
        long long time = 0;
        bool operator==(const FileStamp &) const = default;
    };
    FileStamp fileStamp() const;

    QString m_name;
    QString m_databaseName;
    QString m_tableName;
    std::vector<std::unique_ptr<Field>> m_fields;
    QHash<QString, int> m_fieldIndex; // upper-case name -> field index
    QVector<int> m_fileColumn;        // field index -> column in the file, -1 if calculated
    QVector<int> m_storedFields;      // file column -> index in a buffer's values
    QVector<int> m_calculatedFields;  // field indexes of the calculated fields
    std::vector<char> m_calcPending;  // per field: calculated, not yet written by the handler
    bool m_declaredFields = false;

    QString m_indexName;
    QString m_indexFieldNames;
    QString m_orderIndex;             // the file index that gives the current order, if any
    bool m_hasOrderIndex = false;     // m_orderIndex is set (a primary index has no name)
    QVector<int> m_orderFields;       // field indexes of the current order; -(c+1): file column c
    QVector<FieldType> m_columnTypes; // the file's column types
    int m_valueCount = 0;             // values of a buffer: fields, then undeclared columns
    bool m_orderCaseInsensitive = false;

    QPointer<DataSource> m_master;
    QStringList m_masterFields;
    QVector<int> m_linkFields;     // our field index for each master field
    QVector<QVariant> m_masterKey; // the master's link values the view was built for
    QMetaObject::Connection m_masterConnection;

    std::unique_ptr<TableFile> m_file;
    FileStamp m_stamp;
    std::vector<Buffer> m_records; // every stored record of the file
    SlotIndex m_slotIndex;         // slot -> index in m_records
    QVector<int> m_view;           // indexes into m_records: the rows in view, in order
    TableState m_state = TableState::Inactive;
    int m_current = -1;
    int m_rowBeforeInsert = -1;
    bool m_eof = true;
    bool m_bof = true;
    bool m_modified = false;
    Buffer m_edit; // the record being inserted or edited
    // Calculated fields of stored records are computed when the record is read: a re-read
    // starts a new round, and a record of an older round is calculated before it is read.
    quint32 m_calcRound = 1;
    Buffer *m_calcTarget = nullptr;         // the record whose calculated fields are being computed
    const Buffer *m_readOverride = nullptr; // a stored record read in place of the edit buffer

    QVector<DataSource *> m_sources;
};
