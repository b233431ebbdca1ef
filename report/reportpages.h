// SPDX-License-Identifier: MIT
#pragma once

#include <QSizeF>

class QPainter;

// A finished report as the preview, the printer and the report file see it: a number of pages
// of one paper size, each able to paint itself.
class ReportPages
{
public:
    virtual ~ReportPages() = default;

    virtual int pageCount() const = 0;
    virtual QSizeF pageSize() const = 0; // mm

    // Paints page `index` (from 0) in report units (reportunits.h) from the paper's top-left
    // corner, on whatever transform the painter has.
    virtual void paintPage(QPainter &painter, int index) const = 0;

    // The device resolution (dots per inch) the pages must be painted at, or 0 for any.
    virtual int requiredResolution() const { return 0; }
};
