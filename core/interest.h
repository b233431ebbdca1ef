// SPDX-License-Identifier: MIT
#pragma once

#include <QLatin1StringView>
#include <QString>

class Table;

// The figures of one cheque line.
struct LineFigures {
    QString days;        // the day count as text, cut to 7 characters
    double interest = 0; // JUROS
    double net = 0;      // VALORDESC: value less interest
    double gross = 0;    // VALORACUM: value plus interest
};

// The day count of a line: its text, the difference in plain decimal cut to its first 7
// characters, and the number every formula reads back from that text.
struct DayCount {
    char text[8] = {};
    int length = 0;
    int days = 0;
    QLatin1StringView view() const { return QLatin1StringView(text, length); }
    // The text as a string. Day counts repeat from line to line: each text is made once and
    // shared by every line that shows it.
    const QString &sharedText() const;
};
DayCount CountDays(int chequeDay, int baseDay);

// Day count text: the difference in plain decimal, cut to its first 7 characters.
QString DayCountText(int chequeDay, int baseDay);
// Reads the day count back from its text, as every formula does.
int DayCountFromText(const QString &text);

// Simple interest: value * ((n * (rate / 30)) / 100), in extended precision, one rounding.
double SimpleInterest(double value, int days, double rate);
// Compound interest: 30-day periods on the value plus interest so far, the rest pro rata.
double CompoundInterest(double value, int days, double rate);

// The interest of a line whose day count reads back as `days`. In compound mode a line
// without a cheque date bears no interest; in simple mode its empty date counts as day 0.
double LineInterest(bool hasDate, int days, double value, double rate, bool simple);

// A line's four figures.
LineFigures ComputeLine(bool hasDate, int chequeDay, double value, int baseDay, double rate,
                        bool simple);

// The weekend shift: a Sunday moves to the next day, a Saturday two days on.
int WeekendShift(int dayNumber);

class Field;

// The fields the line calculation reads and writes, looked up once. Both tables declare their
// fields, so the fields live as long as the tables do.
struct LineFields {
    LineFields(Table &lines, Table &header);
    const Field &date;     // DATA
    const Field &value;    // VALOR
    Field &days;           // DIAS
    Field &interest;       // JUROS
    Field &net;            // VALORDESC
    Field &gross;          // VALORACUM
    const Field &baseDate; // the header's DATABASE
    const Field &rate;     // the header's JUROS
};

// The calculated fields of the line table's current record (DIAS, JUROS, VALORDESC,
// VALORACUM) from its DATA and VALOR, the base date and rate of the header table's current
// record, and the interest mode. The one routine every view of the line table calculates with.
void CalculateLineFields(const LineFields &fields, bool simple);
void CalculateLineFields(Table &lines, Table &header, bool simple);
