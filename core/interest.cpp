// SPDX-License-Identifier: MIT
#include "core/interest.h"

#include "core/dates.h"
#include "core/table.h"

#include <charconv>

QString DayCountText(int chequeDay, int baseDay)
{
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, qint64(chequeDay) - baseDay);
    const int length = int(result.ptr - buffer);
    return QString::fromLatin1(buffer, length > 7 ? 7 : length);
}

int DayCountFromText(const QString &text)
{
    return text.toInt();
}

double SimpleInterest(double value, int days, double rate)
{
    long double step = (long double)rate / 30;
    step = days * step;
    step = step / 100;
    step = value * step;
    return double(step);
}

double CompoundInterest(double value, int days, double rate)
{
    const bool negative = days < 0;
    long long n = days < 0 ? -(long long)days : days;
    double interest = 0; // S: interest so far
    double base = value; // B: amount that bears interest
    while (n > 30) {
        interest = double(interest + ((long double)rate / 100) * base);
        base = double(value + (long double)interest);
        n -= 30;
    }
    if (n > 0)
        interest = double(interest + ((((long double)rate / 30) * n) / 100) * base);
    return negative ? -interest : interest;
}

double LineInterest(bool hasDate, int days, double value, double rate, bool simple)
{
    if (simple)
        return SimpleInterest(value, days, rate);
    return hasDate ? CompoundInterest(value, days, rate) : 0.0;
}

LineFigures ComputeLine(bool hasDate, int chequeDay, double value, int baseDay, double rate,
                        bool simple)
{
    LineFigures figures;
    figures.days = DayCountText(hasDate ? chequeDay : 0, baseDay);
    figures.interest = LineInterest(hasDate, DayCountFromText(figures.days), value, rate, simple);
    figures.net = value - figures.interest;
    figures.gross = value + figures.interest;
    return figures;
}

int WeekendShift(int dayNumber)
{
    const int weekday = DateOfDayNumber(dayNumber).dayOfWeek(); // 1 Monday .. 7 Sunday
    if (weekday == 7)
        return dayNumber + 1;
    if (weekday == 6)
        return dayNumber + 2;
    return dayNumber;
}

LineFields::LineFields(Table &lines, Table &header)
    : date(lines.fieldByName(QStringLiteral("DATA"))),
      value(lines.fieldByName(QStringLiteral("VALOR"))),
      days(lines.fieldByName(QStringLiteral("DIAS"))),
      interest(lines.fieldByName(QStringLiteral("JUROS"))),
      net(lines.fieldByName(QStringLiteral("VALORDESC"))),
      gross(lines.fieldByName(QStringLiteral("VALORACUM"))),
      baseDate(header.fieldByName(QStringLiteral("DATABASE"))),
      rate(header.fieldByName(QStringLiteral("JUROS")))
{
}

void CalculateLineFields(const LineFields &fields, bool simple)
{
    const double value = fields.value.asFloat();
    const int baseDay = fields.baseDate.asDate();
    const double rate = fields.rate.asFloat();

    fields.days.setAsString(DayCountText(fields.date.asDate(), baseDay));
    // The formulas read the day count back from the field.
    const double interest = LineInterest(
        !fields.date.isNull(), DayCountFromText(fields.days.asString()), value, rate, simple);
    fields.interest.setAsFloat(interest);
    const double kept = fields.interest.asFloat();
    fields.net.setAsFloat(value - kept);
    fields.gross.setAsFloat(value + kept);
}

void CalculateLineFields(Table &lines, Table &header, bool simple)
{
    CalculateLineFields(LineFields(lines, header), simple);
}
