// SPDX-License-Identifier: MIT
#include "core/numbers.h"

#include <QLocale>
#include <cmath>
#include <cstdio>

NumberSeparators SystemSeparators()
{
    // The default locale is the system's unless the program (or a test) sets another.
    const QLocale locale;
    NumberSeparators s;
    const QString group = locale.groupSeparator();
    const QString decimal = locale.decimalPoint();
    s.group = group.isEmpty() ? QLatin1Char(' ') : group.front();
    s.decimal = decimal.isEmpty() ? QLatin1Char('.') : decimal.front();
    return s;
}

namespace
{

struct Mask {
    int decimals = 0;
    int minIntegerDigits = 0;
    bool grouping = false;
};

Mask parseMask(const QString &mask)
{
    Mask m;
    const int point = mask.indexOf(QLatin1Char('.'));
    const QString integerPart = point < 0 ? mask : mask.left(point);
    for (QChar c : integerPart) {
        if (c == QLatin1Char('0'))
            ++m.minIntegerDigits;
        else if (c == QLatin1Char(','))
            m.grouping = true;
    }
    if (point >= 0) {
        for (int i = point + 1; i < mask.size(); ++i)
            if (mask[i] == QLatin1Char('0') || mask[i] == QLatin1Char('#'))
                ++m.decimals;
    }
    return m;
}

// The exact decimal digits of |value| rounded to `decimals` places, halves away from zero.
// Returns the digit string without a point (integer digits followed by the decimals).
QByteArray roundedDigits(double value, int decimals)
{
    // glibc prints the exact binary value; 80 places are far beyond any double that matters
    // here, so the digit after the kept ones and whatever follows decide the rounding exactly.
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.80f", std::fabs(value));
    QByteArray text(buffer);
    const int point = text.indexOf('.');
    QByteArray digits = text.left(point) + text.mid(point + 1, decimals);
    const QByteArray rest = text.mid(point + 1 + decimals);
    const bool roundUp = !rest.isEmpty() && rest[0] >= '5';
    if (roundUp) {
        int i = digits.size() - 1;
        while (i >= 0) {
            if (digits[i] == '9') {
                digits[i] = '0';
                --i;
            } else {
                digits[i] = char(digits[i] + 1);
                break;
            }
        }
        if (i < 0)
            digits.prepend('1');
    }
    return digits;
}

} // namespace

QString FormatFloat(const QString &mask, double value, NumberSeparators separators)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const Mask m = parseMask(mask);
    const QByteArray digits = roundedDigits(value, m.decimals);
    QByteArray integer = digits.left(digits.size() - m.decimals);
    const QByteArray fraction = digits.right(m.decimals);
    // Strip leading zeros, then pad to the mask's required digits.
    int first = 0;
    while (first < integer.size() && integer[first] == '0')
        ++first;
    integer = integer.mid(first);
    while (integer.size() < m.minIntegerDigits)
        integer.prepend('0');

    bool isZero = true;
    for (char c : digits)
        if (c != '0')
            isZero = false;

    QString result;
    if (value < 0 && !isZero)
        result += QLatin1Char('-');
    for (int i = 0; i < integer.size(); ++i) {
        if (m.grouping && i > 0 && (integer.size() - i) % 3 == 0)
            result += separators.group;
        result += QLatin1Char(integer[i]);
    }
    if (m.decimals > 0) {
        result += separators.decimal;
        result += QString::fromLatin1(fraction);
    }
    return result;
}

QString FormatFloat(const QString &mask, double value)
{
    return FormatFloat(mask, value, SystemSeparators());
}

bool ParseDecimal(const QString &text, double *value, QChar decimalPoint)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (decimalPoint != QLatin1Char('.')) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(decimalPoint, QLatin1Char('.'));
    }
    // Digits, one optional sign in front, at most one point; nothing else.
    int i = 0;
    if (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-'))
        ++i;
    bool anyDigit = false, point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c.unicode() >= '0' && c.unicode() <= '9')
            anyDigit = true;
        else if (c == QLatin1Char('.') && !point)
            point = true;
        else
            return false;
    }
    if (!anyDigit)
        return false;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok)
        return false;
    if (value)
        *value = v;
    return true;
}
