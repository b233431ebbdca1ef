// SPDX-License-Identifier: MIT
#pragma once

#include "core/datasource.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPointer>
#include <QString>
#include <QVector>
#include <optional>

class Field;
class Table;

// One column of a data grid, as the form lays it out.
struct DBGridColumn {
    QString fieldName;
    QString title;
    int width = 64;
    bool readOnly = false;
    Qt::Alignment alignment = {}; // the cells; the field's own alignment when empty
    QColor color;                 // the cells' background; the grid's base colour when invalid
    Qt::Alignment titleAlignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor titleColor;              // the title's text; the header's own colour when invalid
    std::optional<QFont> titleFont; // the grid's title font when empty
};

// The rows of a table as a data grid shows them: one row per record in view (an unposted insert
// included), one column per grid column. The model only reads: every change of the table goes
// through the table itself, and the model follows what the data source reports.
class DBGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // What the row indicator shows for a row.
    enum class Indicator { None, Current, Editing, Inserting };
    Q_ENUM(Indicator)
    static constexpr int IndicatorRole = Qt::UserRole + 1; // vertical header: an Indicator

    explicit DBGridModel(QObject *parent = nullptr);
    ~DBGridModel() override;

    void setColumns(const QVector<DBGridColumn> &columns);
    const QVector<DBGridColumn> &columns() const { return m_columns; }

    void setDataSource(DataSource *source);
    DataSource *dataSource() const { return m_source; }
    // The table behind the data source, or null.
    Table *table() const;
    // The table when it is open, else null.
    Table *activeTable() const;

    // The field a column shows, or null when the table is closed or has no such field.
    Field *field(int column) const;
    // Whether the cells of a column can be typed into.
    bool columnEditable(int column) const;
    Indicator indicator(int row) const;

    void setTitleFont(const QFont &font);
    QFont titleFont(int column) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // Re-emitted after the model has taken in a change of the data source, so that a view sees
    // the rows already in step.
    void tableChanged(DataSource::Change change, int arg);

private:
    void sourceChanged(DataSource::Change change, int arg);
    void reset();
    void rowValuesChanged(int row);

    QVector<DBGridColumn> m_columns;
    QPointer<DataSource> m_source;
    QMetaObject::Connection m_connection;
    int m_rows = 0; // the rows the model has announced
    std::optional<QFont> m_titleFont;
};
