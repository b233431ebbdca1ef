// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QVariant>

// The cursor a report reads: it walks the rows of its data set once per generation and asks the
// current row for the fields its elements print. Field names are matched without regard to
// letter case, as the table engine does.
class ReportDataSet
{
public:
    virtual ~ReportDataSet() = default;

    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;

    // The field's value on the current row; an invalid QVariant for an empty field.
    virtual QVariant value(const QString &field) const = 0;
    // The field's text as printed without a mask: a date as short date text (dd/mm/yyyy), a
    // string unchanged, an empty field as "".
    virtual QString text(const QString &field) const = 0;
};
