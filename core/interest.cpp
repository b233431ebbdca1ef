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

void CalculateLineFields(Table &lines, Table &header, bool simple)
{
    const Field &date = lines.fieldByName(QStringLiteral("DATA"));
    const double value = lines.fieldByName(QStringLiteral("VALOR")).asFloat();
    const int baseDay = header.fieldByName(QStringLiteral("DATABASE")).asDate();
    const double rate = header.fieldByName(QStringLiteral("JUROS")).asFloat();

    Field &days = lines.fieldByName(QStringLiteral("DIAS"));
    days.setAsString(DayCountText(date.asDate(), baseDay));
    // The formulas read the day count back from the field.
    const double interest =
        LineInterest(!date.isNull(), DayCountFromText(days.asString()), value, rate, simple);
    Field &juros = lines.fieldByName(QStringLiteral("JUROS"));
    juros.setAsFloat(interest);
    const double kept = juros.asFloat();
    lines.fieldByName(QStringLiteral("VALORDESC")).setAsFloat(value - kept);
    lines.fieldByName(QStringLiteral("VALORACUM")).setAsFloat(value + kept);
}
