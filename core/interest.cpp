// SPDX-License-Identifier: MIT
#include "core/interest.h"

#include "core/dates.h"
#include "core/table.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

DayCount CountDays(int chequeDay, int baseDay)
{
    char buffer[24];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, qint64(chequeDay) - baseDay).ptr;
    DayCount count;
    count.length = std::min(int(written - buffer), 7);
    std::memcpy(count.text, buffer, size_t(count.length));
    // Read back from the text that was kept: a text that was not cut reads as the number itself.
    if (written - buffer <= 7)
        count.days = chequeDay - baseDay;
    else
        std::from_chars(count.text, count.text + count.length, count.days);
    return count;
}

const QString &DayCount::sharedText() const
{
    // The text and the number read back from it determine each other. The texts made last are
    // kept by their number, one place each; the lines keep their own copies.
    struct Kept {
        int days = 0;
        QString text;
    };
    thread_local std::array<Kept, 1024> kept;
    Kept &place = kept[size_t(days) % kept.size()];
    if (place.text.isNull() || place.days != days) {
        place.days = days;
        place.text = QString(view());
    }
    return place.text;
}

QString DayCountText(int chequeDay, int baseDay)
{
    return CountDays(chequeDay, baseDay).sharedText();
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
    const DayCount count = CountDays(hasDate ? chequeDay : 0, baseDay);
    figures.days = count.sharedText();
    figures.interest = LineInterest(hasDate, count.days, value, rate, simple);
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

    // DIAS holds the text; the formulas go on with the number read back from it.
    const DayCount count = CountDays(fields.date.asDate(), baseDay);
    fields.days.setAsString(count.sharedText());
    const double interest = LineInterest(!fields.date.isNull(), count.days, value, rate, simple);
    fields.interest.setAsFloat(interest);
    fields.net.setAsFloat(value - interest);
    fields.gross.setAsFloat(value + interest);
}

void CalculateLineFields(Table &lines, Table &header, bool simple)
{
    CalculateLineFields(LineFields(lines, header), simple);
}
