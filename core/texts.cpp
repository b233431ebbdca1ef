// SPDX-License-Identifier: MIT
#include "core/texts.h"

long long ReadLeadingInteger(const QString &text)
{
    int i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    long long value = 0;
    while (i < text.size() && text[i].unicode() >= '0' && text[i].unicode() <= '9') {
        if (value < 100000000000000000LL)
            value = value * 10 + (text[i].unicode() - '0');
        ++i;
    }
    return negative ? -value : value;
}

QString ZeroPad(const QString &text, int width)
{
    QString result = QString::number(ReadLeadingInteger(text));
    while (result.size() < width)
        result.prepend(QLatin1Char('0'));
    return result;
}

QString RightJustifyDigits(const QString &text)
{
    QString result;
    for (QChar c : text) {
        if ((c.unicode() >= '0' && c.unicode() <= '9') || c == QLatin1Char('-'))
            result.append(c);
        else
            result.prepend(QLatin1Char(' '));
    }
    return result;
}

bool ValidateDateText(QString &text)
{
    const long long day = ReadLeadingInteger(text.mid(0, 2));
    const long long month = ReadLeadingInteger(text.mid(3, 2));
    const long long year = ReadLeadingInteger(text.mid(6, 4));
    if (day == 0 || month == 0 || year == 0)
        return false;
    int last = 0;
    switch (month) {
    case 1:
    case 3:
    case 5:
    case 7:
    case 8:
    case 10:
    case 12:
        last = 31;
        break;
    case 4:
    case 6:
    case 9:
    case 11:
        last = 30;
        break;
    case 2:
        last = year % 4 == 0 ? 29 : 28;
        break;
    default:
        return false;
    }
    if (day < 1 || day > last)
        return false;
    text = ZeroPad(QString::number(day), 2) + QLatin1Char('/') +
           ZeroPad(QString::number(month), 2) + QLatin1Char('/') +
           ZeroPad(QString::number(year), 4);
    return true;
}
