// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class Table;

// Links one table to its data-aware controls (grid model, navigator) and to its detail tables,
// and tells them what changed. Controls reach the table only through here.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(Table *dataSet = nullptr, QObject *parent = nullptr);
    ~DataSource() override;

    Table *dataSet() const { return m_dataSet; }
    void setDataSet(Table *dataSet);

    enum class Change {
        Opened,       // the table was opened: all rows new
        Closed,       // the table was closed: no rows
        RowsReset,    // rows re-read (refresh, master moved, empty): all rows new
        RowInserted,  // a row appeared at `row` (insert or append started, or posted)
        RowRemoved,   // the row at `row` went away (delete, cancelled insert)
        RowChanged,   // the values of `row` changed (post, cancel of an edit, recalculation)
        FieldChanged, // a field of the current record changed; the argument is the field index
        CurrentMoved, // the cursor moved to `row`
        StateChanged, // browse / insert / edit / inactive
    };
    Q_ENUM(Change)

signals:
    // `arg` is the row concerned (the field index for FieldChanged), or -1.
    void changed(DataSource::Change change, int arg);

private:
    friend class Table;
    void notify(Change change, int arg) { emit changed(change, arg); }

    Table *m_dataSet = nullptr;
};
