// SPDX-License-Identifier: MIT
#pragma once

#include "core/datasource.h"
#include "core/fielddef.h"
#include "core/interest.h"
#include "core/table.h"

#include <QString>
#include <QVector>
#include <optional>

// What the store needs of the window that drives it.
class CalculationHost
{
public:
    virtual ~CalculationHost() = default;
    virtual void setHeaderPanelEnabled(bool enabled) = 0; // Panel2
    virtual void setLinePanelEnabled(bool enabled) = 0;   // Panel3
    virtual void setSaveEnabled(bool enabled) = 0;        // BT1
    virtual bool headerPending() const = 0;               // true while BT1 is enabled
    virtual void resetHeaderFields() = 0;                 // ResetHeaderFields
    virtual void focusBaseDate() = 0;                     // the focus to DATABASE
    virtual bool simpleInterest() const = 0;              // RadioButton1 checked
    virtual void showTotals(const QString &value, const QString &interest,
                            const QString &net) = 0;   // lVALOR, lJUROS, lVALORACUM
    virtual void showMessage(const QString &text) = 0; // a message box with OK
    virtual void lineStarted() = 0; // a new line: the grid goes to its first column
};

// The message of the line guard, also used by the print command.
extern const QString kHeaderPendingMessage;

// The file names of the two tables and the six files seeded into the data folder.
extern const QString kHeaderTableName; // Cal_jur1.dbf
extern const QString kLineTableName;   // Aux_Jur1.db
extern const QStringList kSeedFiles;   // in the order they are seeded

// The structure of the two tables on disk (for the template generator) and as the program
// declares their fields.
QVector<FieldDef> HeaderFileFields();
QVector<IndexDef> HeaderFileIndexes();
QVector<FieldDef> LineFileFields();
QVector<IndexDef> LineFileIndexes();
void DeclareHeaderFields(Table &table);
// `floatFormat` is the display format of the four number fields.
void DeclareLineFields(Table &table, const QString &floatFormat = QStringLiteral("##,###,##0.00"));

// The data folder: the Windows folder followed by "temp". CHEQUES_WINDIR, when set, stands for
// the Windows folder; elsewhere than Windows $XDG_DATA_HOME/cheques (~/.local/share/cheques)
// takes its place and the folder is created when missing. Ends with a separator.
QString DataFolder();

// The calculation store and its interest engine: the header table (Table1) and the line table
// (Table2) with their data sources, the handlers on their events, and the totals.
class CalculationStore
{
public:
    explicit CalculationStore(CalculationHost &host);
    ~CalculationStore();

    Table Table1{QStringLiteral("Table1")};
    Table Table2{QStringLiteral("Table2")};
    DataSource DataSource1{&Table1};
    DataSource DataSource2{&Table2};

    // Templates are read from the working folder (the current folder unless set).
    void setWorkingFolder(const QString &folder) { m_workingFolder = folder; }
    QString workingFolder() const;

    void PrepareDataFolder();
    void PrepareDataFolder(const QString &dataFolder);
    void StartNewCalculation();
    void RecomputeTotals();
    void ShowTotals();
    // The mode switch behind both interest-mode buttons: re-read, recompute, add up again;
    // failures are dropped.
    void ModeSwitch();

    double SumVALOR = 0, SumJUROS = 0, SumVALORDESC = 0;
    double OldVALOR = 0, OldJUROS = 0, OldVALORDESC = 0;

private:
    void Table2BeforeInsert(Table &table);
    void Table2BeforeEdit(Table &table);
    void Table2BeforeDelete(Table &table);
    void Table2NewRecord(Table &table);
    void Table2BeforePost(Table &table);
    void Table2AfterPost(Table &table);
    void Table2CalcFields(Table &table);
    void Table1BeforeClose(Table &table);
    void Table1BeforeDelete(Table &table);
    void lineGuard();
    void addUpLines();

    CalculationHost &m_host;
    QString m_workingFolder;
    std::optional<LineFields> m_lineFields; // of Table2 and Table1
};
