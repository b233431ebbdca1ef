// SPDX-License-Identifier: MIT
#pragma once

#include "core/calculationstore.h"

#include <QString>
#include <QStringList>

// Writes the empty header and line tables into `folder` (as the template generator does).
void WriteEmptyTables(const QString &folder);

// A host that records what the store asks of the window.
class FakeHost : public CalculationHost
{
public:
    QStringList calls;
    QStringList messages;
    bool pending = false;
    bool simple = true;
    bool headerPanel = false, linePanel = false, save = false;
    QString value = QStringLiteral("0.00"), interest = QStringLiteral("0.00"),
            net = QStringLiteral("0.00");

    void setHeaderPanelEnabled(bool enabled) override;
    void setLinePanelEnabled(bool enabled) override;
    void setSaveEnabled(bool enabled) override;
    bool headerPending() const override { return pending; }
    void resetHeaderFields() override { calls << QStringLiteral("resetHeaderFields"); }
    void focusBaseDate() override { calls << QStringLiteral("focusBaseDate"); }
    bool simpleInterest() const override { return simple; }
    void showTotals(const QString &v, const QString &i, const QString &n) override;
    void showMessage(const QString &text) override { messages << text; }
    void lineStarted() override { calls << QStringLiteral("lineStarted"); }
};
