// SPDX-License-Identifier: MIT
#pragma once

#include "report/laidoutreport.h"
#include "report/reportpages.h"

// Pages freshly laid out by the report writer, painted from their items.
class LaidOutPages : public ReportPages
{
public:
    explicit LaidOutPages(LaidOutReport report) : m_report(std::move(report)) {}

    const LaidOutReport &report() const { return m_report; }

    int pageCount() const override { return int(m_report.pages.size()); }
    QSizeF pageSize() const override { return m_report.pageSize; }
    void paintPage(QPainter &painter, int index) const override;

private:
    LaidOutReport m_report;
};
