// SPDX-License-Identifier: MIT
#pragma once

#include "report/reportdataset.h"

#include <QHash>
#include <QVector>

// Rows held in memory, for reports built from values at hand (and for tests).
// A QDate prints as short date text, anything else as its QVariant text.
class MemoryDataSet : public ReportDataSet
{
public:
    using Row = QHash<QString, QVariant>;

    MemoryDataSet() = default;
    explicit MemoryDataSet(QVector<Row> rows);

    void append(const Row &row);
    void clear();
    int rowCount() const { return int(m_rows.size()); }

    void first() override;
    void next() override;
    bool eof() const override;
    QVariant value(const QString &field) const override;
    QString text(const QString &field) const override;

private:
    static Row normalised(const Row &row);

    QVector<Row> m_rows; // keys in upper case
    int m_current = 0;
};
