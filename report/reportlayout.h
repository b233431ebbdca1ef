// SPDX-License-Identifier: MIT
#pragma once

#include "core/numbers.h"
#include "report/laidoutreport.h"
#include "report/reportdefinition.h"

#include <QDate>

// What a generation reads from the system besides the data: the date of printing and the
// number separators.
struct LayoutContext {
    QDate today;
    NumberSeparators separators;
};

// The current date (core/clock.h) and the system's separators, read at the moment of the call.
LayoutContext CurrentLayoutContext();

// Walks the report's data set once and lays out every page: the title band once at the top of
// page 1, the column header below it and at the top of every later page, one detail band per
// row, the summary once after the last row (on a new page when it does not fit), the page
// footer at the foot of every page. Sums add the unrounded values of every detail row.
// Throws Error when an element names a data set the report does not have.
LaidOutReport LayOutReport(const ReportDefinition &report,
                           const LayoutContext &context = CurrentLayoutContext());
