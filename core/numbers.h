// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QString>

// Picture formats such as "#,##0.00" and "##,###,##0.00": '0' a required digit, '#' an optional
// one, a ',' in the integer part turns on grouping by thousands, '.' marks the decimals.
// The value is rounded exactly (from the double's own binary value) to the number of decimals,
// halves away from zero; a result that rounds to zero never carries a minus sign.
struct NumberSeparators {
    QChar group = QLatin1Char('.');
    QChar decimal = QLatin1Char(',');
};

NumberSeparators SystemSeparators();
QString FormatFloat(const QString &mask, double value, NumberSeparators separators);
QString FormatFloat(const QString &mask, double value); // with the system's separators

// Reads a decimal number with "." as the decimal point, leading and trailing blanks ignored.
// Returns false for a text that is no number.
bool ParseDecimal(const QString &text, double *value, QChar decimalPoint = QLatin1Char('.'));
