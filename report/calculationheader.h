// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QString>
#include <optional>

// What the calculation report reads from the main window besides the lines: the header
// record's LEMBRETE, DATABASE and JUROS, and the interest mode (simple while RadioButton1 is
// checked). The report asks again every time it is generated.
class CalculationHeader
{
public:
    virtual ~CalculationHeader() = default;

    virtual QString lembrete() const = 0;
    virtual QDate dataBase() const = 0;              // invalid when the field is empty
    virtual std::optional<double> juros() const = 0; // none when the field is empty
    virtual bool jurosSimples() const = 0;
};
