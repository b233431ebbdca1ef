// SPDX-License-Identifier: MIT
#include "ui/timp.h"

#include "core/calculationstore.h"
#include "core/dates.h"
#include "core/interest.h"
#include "ui/tcheq.h"

#include <QRadioButton>

TIMP::TIMP(TCHEQ &owner) : QObject(&owner), m_owner(owner)
{
    setObjectName(QStringLiteral("IMP"));
    Table2.setTableName(kLineTableName);
    // The report prints every number through its own mask; the view's format never shows.
    DeclareLineFields(Table2, QStringLiteral("######0.00"));
    Table2.setIndexFieldNames(QStringLiteral("COD;INCR"));
    Table2.setMasterSource(&owner.DataSource1, QStringLiteral("COD"));
    Table2.onCalcFields = [this](Table &table) { Table2CalcFields(table); };
    m_lineFields.emplace(Table2, owner.Table1);
}

TIMP::~TIMP() = default;

void TIMP::Table2CalcFields(Table &)
{
    CalculateLineFields(*m_lineFields, m_owner.RadioButton1->isChecked());
}

QString TIMP::lembrete() const
{
    return m_owner.Table1.fieldByName(QStringLiteral("LEMBRETE")).asString();
}

QDate TIMP::dataBase() const
{
    const Field &field = m_owner.Table1.fieldByName(QStringLiteral("DATABASE"));
    return field.isNull() ? QDate() : DateOfDayNumber(field.asDate());
}

std::optional<double> TIMP::juros() const
{
    const Field &field = m_owner.Table1.fieldByName(QStringLiteral("JUROS"));
    if (field.isNull())
        return std::nullopt;
    return field.asFloat();
}

bool TIMP::jurosSimples() const
{
    return m_owner.RadioButton1->isChecked();
}
