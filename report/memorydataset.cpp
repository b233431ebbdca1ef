// SPDX-License-Identifier: MIT
#include "report/memorydataset.h"

#include "core/dates.h"

#include <QDate>

MemoryDataSet::MemoryDataSet(QVector<Row> rows)
{
    for (const Row &row : rows)
        append(row);
}

void MemoryDataSet::append(const Row &row)
{
    m_rows.append(normalised(row));
}

void MemoryDataSet::clear()
{
    m_rows.clear();
    m_current = 0;
}

MemoryDataSet::Row MemoryDataSet::normalised(const Row &row)
{
    Row result;
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        result.insert(it.key().toUpper(), it.value());
    return result;
}

void MemoryDataSet::first()
{
    m_current = 0;
}

void MemoryDataSet::next()
{
    if (m_current < m_rows.size())
        ++m_current;
}

bool MemoryDataSet::eof() const
{
    return m_current >= m_rows.size();
}

QVariant MemoryDataSet::value(const QString &field) const
{
    if (eof())
        return {};
    return m_rows[m_current].value(field.toUpper());
}

QString MemoryDataSet::text(const QString &field) const
{
    const QVariant v = value(field);
    if (!v.isValid() || v.isNull())
        return {};
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().isValid() ? ShortDateText(v.toDate()) : QString();
    return v.toString();
}
