// SPDX-License-Identifier: MIT
#include "controls/dbgridmodel.h"

#include "core/table.h"

#include <QBrush>

namespace
{

Qt::Alignment withVerticalCentre(Qt::Alignment alignment)
{
    if (!(alignment & Qt::AlignVertical_Mask))
        alignment |= Qt::AlignVCenter;
    return alignment;
}

} // namespace

DBGridModel::DBGridModel(QObject *parent) : QAbstractTableModel(parent) {}

DBGridModel::~DBGridModel() = default;

void DBGridModel::setColumns(const QVector<DBGridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    Table *t = activeTable();
    m_rows = t ? t->rowCount() : 0;
    endResetModel();
}

void DBGridModel::setDataSource(DataSource *source)
{
    if (m_source == source)
        return;
    if (m_connection)
        disconnect(m_connection);
    beginResetModel();
    m_source = source;
    if (source)
        m_connection = connect(source, &DataSource::changed, this, &DBGridModel::sourceChanged);
    Table *t = activeTable();
    m_rows = t ? t->rowCount() : 0;
    endResetModel();
}

Table *DBGridModel::table() const
{
    return m_source ? m_source->dataSet() : nullptr;
}

Table *DBGridModel::activeTable() const
{
    Table *t = table();
    return t && t->active() ? t : nullptr;
}

Field *DBGridModel::field(int column) const
{
    Table *t = activeTable();
    if (!t || column < 0 || column >= m_columns.size())
        return nullptr;
    return t->findField(m_columns[column].fieldName);
}

bool DBGridModel::columnEditable(int column) const
{
    const Field *f = field(column);
    return f && !m_columns[column].readOnly && !f->def().readOnly && !f->isCalculated();
}

DBGridModel::Indicator DBGridModel::indicator(int row) const
{
    Table *t = activeTable();
    if (!t || row < 0 || row != t->currentRow())
        return Indicator::None;
    switch (t->state()) {
    case TableState::Insert:
        return Indicator::Inserting;
    case TableState::Edit:
        return Indicator::Editing;
    default:
        return Indicator::Current;
    }
}

void DBGridModel::setTitleFont(const QFont &font)
{
    m_titleFont = font;
    if (!m_columns.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, int(m_columns.size()) - 1);
}

QFont DBGridModel::titleFont(int column) const
{
    if (column >= 0 && column < m_columns.size() && m_columns[column].titleFont)
        return *m_columns[column].titleFont;
    return m_titleFont.value_or(QFont());
}

int DBGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int DBGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DBGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows || index.column() >= m_columns.size())
        return {};
    const DBGridColumn &column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole: {
        const Field *f = field(index.column());
        return f ? activeTable()->rowDisplayText(index.row(), f->index()) : QString();
    }
    case Qt::TextAlignmentRole: {
        Qt::Alignment alignment = column.alignment & Qt::AlignHorizontal_Mask;
        if (!alignment) {
            const Field *f = field(index.column());
            alignment = f ? f->def().alignment & Qt::AlignHorizontal_Mask : Qt::Alignment();
        }
        if (!alignment)
            alignment = Qt::AlignLeft;
        return int(withVerticalCentre(alignment));
    }
    case Qt::BackgroundRole:
        return column.color.isValid() ? QVariant(QBrush(column.color)) : QVariant();
    default:
        return {};
    }
}

QVariant DBGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == IndicatorRole)
            return QVariant::fromValue(indicator(section));
        return {};
    }
    if (section < 0 || section >= m_columns.size())
        return {};
    const DBGridColumn &column = m_columns[section];
    switch (role) {
    case Qt::DisplayRole:
        return column.title;
    case Qt::TextAlignmentRole:
        return int(withVerticalCentre(column.titleAlignment));
    case Qt::ForegroundRole:
        return column.titleColor.isValid() ? QVariant(QBrush(column.titleColor)) : QVariant();
    case Qt::FontRole:
        if (column.titleFont || m_titleFont)
            return titleFont(section);
        return {};
    default:
        return {};
    }
}

Qt::ItemFlags DBGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // The view's own editors stay off: the grid runs its cell editor itself.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void DBGridModel::reset()
{
    beginResetModel();
    Table *t = activeTable();
    m_rows = t ? t->rowCount() : 0;
    endResetModel();
}

void DBGridModel::rowValuesChanged(int row)
{
    if (row < 0 || row >= m_rows || m_columns.isEmpty())
        return;
    emit dataChanged(index(row, 0), index(row, int(m_columns.size()) - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

void DBGridModel::sourceChanged(DataSource::Change change, int arg)
{
    // The table tells after the fact; the model keeps its own row count, so that each row it
    // announces matches what the table reads at that moment.
    using C = DataSource::Change;
    Table *t = activeTable();
    switch (change) {
    case C::RowInserted:
        if (arg >= 0 && arg <= m_rows) {
            beginInsertRows({}, arg, arg);
            ++m_rows;
            endInsertRows();
        }
        break;
    case C::RowRemoved:
        if (arg >= 0 && arg < m_rows) {
            beginRemoveRows({}, arg, arg);
            --m_rows;
            endRemoveRows();
        }
        break;
    case C::RowChanged:
        rowValuesChanged(arg);
        break;
    case C::FieldChanged:
    case C::StateChanged:
        // Calculated fields follow every change of a stored one.
        if (t)
            rowValuesChanged(t->currentRow());
        break;
    case C::CurrentMoved:
        if (m_rows > 0)
            emit headerDataChanged(Qt::Vertical, 0, m_rows - 1);
        break;
    case C::Opened:
    case C::Closed:
    case C::RowsReset:
        reset();
        break;
    }
    // Anything the notifications missed: start over rather than show the wrong rows.
    const int expected = t ? t->rowCount() : 0;
    if (expected != m_rows)
        reset();
    emit tableChanged(change, arg);
}
