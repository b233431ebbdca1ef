// SPDX-License-Identifier: MIT
#pragma once

#include "report/reportdataset.h"

class Table;

// A table of the engine seen as a report's data set: one row per record of its current view,
// fields read through the table's current record.
//
// Every walk starts by re-reading the table, so a report generated again shows the records
// as they are now (another cursor may have written the file) with their calculated fields
// computed afresh.
class TableDataSet : public ReportDataSet
{
public:
    explicit TableDataSet(Table &table) : m_table(table) {}

    void first() override;
    void next() override;
    bool eof() const override;
    QVariant value(const QString &field) const override;
    QString text(const QString &field) const override;

private:
    Table &m_table;
};
