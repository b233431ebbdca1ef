// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QString>

// Dates are kept as day numbers: whole days from 30 December 1899 (day 0).
constexpr qint64 kDayNumberOffset = 2415019; // Julian day of 30/12/1899

int DayNumber(const QDate &date);
QDate DateOfDayNumber(int dayNumber);

// Short date text: dd/mm/yyyy.
QString ShortDateText(const QDate &date);
QString ShortDateText(int dayNumber);

// The system's date conversion: three numbers separated by "/", blanks around them skipped,
// day and month of one or two digits, a year of one to four digits; a year below 100 is
// completed into the 50-year window around the current year. Throws ConvertError
// "'<text>' is not a valid date".
QDate StrToDate(const QString &text);
bool TryStrToDate(const QString &text, QDate *result);
QString InvalidDateMessage(const QString &text);
