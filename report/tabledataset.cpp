// SPDX-License-Identifier: MIT
#include "report/tabledataset.h"

#include "core/dates.h"
#include "core/table.h"

#include <QDate>

void TableDataSet::first()
{
    m_table.refresh();
    m_table.first();
}

void TableDataSet::next()
{
    m_table.next();
}

bool TableDataSet::eof() const
{
    return !m_table.active() || m_table.eof();
}

QVariant TableDataSet::value(const QString &field) const
{
    const Field &f = m_table.fieldByName(field);
    if (f.isNull())
        return {};
    // Dates as dates, as the report's other data sets give them.
    if (f.type() == FieldType::Date)
        return DateOfDayNumber(f.asDate());
    return f.value();
}

QString TableDataSet::text(const QString &field) const
{
    return m_table.fieldByName(field).asString();
}
