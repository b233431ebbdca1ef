// SPDX-License-Identifier: MIT
#include "core/dates.h"

#include "core/clock.h"
#include "core/errors.h"

int DayNumber(const QDate &date)
{
    return int(date.toJulianDay() - kDayNumberOffset);
}

QDate DateOfDayNumber(int dayNumber)
{
    return QDate::fromJulianDay(qint64(dayNumber) + kDayNumberOffset);
}

QString ShortDateText(const QDate &date)
{
    return QStringLiteral("%1/%2/%3")
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString ShortDateText(int dayNumber)
{
    return ShortDateText(DateOfDayNumber(dayNumber));
}

QString InvalidDateMessage(const QString &text)
{
    return QStringLiteral("'%1' is not a valid date").arg(text);
}

namespace
{

// Reads one number of the date: blanks, then 1..maxDigits digits, then blanks.
bool scanNumber(const QString &text, int &pos, int maxDigits, int &value, int &digits)
{
    while (pos < text.size() && text[pos] == QLatin1Char(' '))
        ++pos;
    value = 0;
    digits = 0;
    while (pos < text.size() && text[pos].isDigit() && text[pos].unicode() < 128) {
        if (++digits > maxDigits)
            return false;
        value = value * 10 + (text[pos].unicode() - '0');
        ++pos;
    }
    while (pos < text.size() && text[pos] == QLatin1Char(' '))
        ++pos;
    return digits > 0;
}

} // namespace

bool TryStrToDate(const QString &text, QDate *result)
{
    int pos = 0, day = 0, month = 0, year = 0, digits = 0;
    if (!scanNumber(text, pos, 2, day, digits) || pos >= text.size() ||
        text[pos] != QLatin1Char('/'))
        return false;
    ++pos;
    if (!scanNumber(text, pos, 2, month, digits) || pos >= text.size() ||
        text[pos] != QLatin1Char('/'))
        return false;
    ++pos;
    if (!scanNumber(text, pos, 4, year, digits) || pos != text.size())
        return false;
    if (year < 100) {
        // The 50-year window: the century that puts the year no more than 50 years back.
        const int centuryBase = Today().year() - 50;
        year += centuryBase / 100 * 100;
        if (year < centuryBase)
            year += 100;
    }
    const QDate date(year, month, day);
    if (!date.isValid() || year < 1)
        return false;
    if (result)
        *result = date;
    return true;
}

QDate StrToDate(const QString &text)
{
    QDate date;
    if (!TryStrToDate(text, &date))
        throw ConvertError(InvalidDateMessage(text));
    return date;
}
