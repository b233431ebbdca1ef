// SPDX-License-Identifier: MIT
#pragma once

#include "core/interest.h"
#include "core/table.h"
#include "report/calculationheader.h"
#include "report/calculationreport.h"
#include "report/tabledataset.h"

#include <QObject>
#include <optional>

class TCHEQ;

// The report form of the print command. It is never shown: it carries the calculation report
// QuickRep1 and the report's own view of the line table, Table2, a second cursor on the line
// file that follows the main window's header record (DataSource1, COD) in order of entry.
// Table2's only handler is its own Table2CalcFields; none of the main window's line rules are
// attached to it.
//
// The report reads the header record and the interest mode through the main window each time
// it asks, so a report generated again shows the window's state at that moment.
class TIMP : public QObject, public CalculationHeader
{
    Q_OBJECT
public:
    // Owned by the main window, created for one print command.
    explicit TIMP(TCHEQ &owner);
    ~TIMP() override;

private:
    TCHEQ &m_owner;

public:
    Table Table2{QStringLiteral("Table2")};

private:
    TableDataSet m_lines{Table2};
    std::optional<LineFields> m_lineFields; // of Table2 and the main window's Table1

public:
    CalculationReport QuickRep1{m_lines, *this};

    // Each line's DIAS, JUROS, VALORDESC and VALORACUM from its own DATA and VALOR, the base
    // date and rate of the main window's header record and its interest mode.
    void Table2CalcFields(Table &table);

    // CalculationHeader: Table1's current record and RadioButton1 of the main window.
    QString lembrete() const override;
    QDate dataBase() const override;
    std::optional<double> juros() const override;
    bool jurosSimples() const override;
};
