// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <QRectF>

// Pages are drawn in report units of 0.01 mm, the same on every device: the painter scales
// them to the device's resolution, and a saved page keeps them, so text is measured and placed
// identically on screen, in a PDF and on paper.
constexpr double kReportUnitsPerMm = 100.0;
constexpr double kMmPerInch = 25.4;
constexpr double kPointsPerInch = 72.0;

inline double MmToUnits(double mm)
{
    return mm * kReportUnitsPerMm;
}

inline QPointF MmToUnits(const QPointF &p)
{
    return p * kReportUnitsPerMm;
}

inline QRectF MmToUnits(const QRectF &r)
{
    return {r.topLeft() * kReportUnitsPerMm, r.size() * kReportUnitsPerMm};
}
