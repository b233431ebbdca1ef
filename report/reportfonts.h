// SPDX-License-Identifier: MIT
#pragma once

#include "report/reportdefinition.h"

#include <QFont>
#include <QRawFont>
#include <QString>

// The family a report font prints with: the named one when the system has it, otherwise its
// metric twin (Arial -> Liberation Sans, Times New Roman -> Liberation Serif,
// Verdana -> DejaVu Sans).
QString SubstituteFontFamily(const QString &family);

// The font in report units (pixel size = point size in 0.01 mm), independent of any device.
QFont ReportQFont(const ReportFont &font);

// The same font as a raw font, for drawing glyphs without laying the text out each time.
QRawFont ReportRawFont(const ReportFont &font);

// The width of `text` in that font, in millimetres.
double TextWidthMm(const QString &text, const ReportFont &font);
