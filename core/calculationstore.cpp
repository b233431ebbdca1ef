// SPDX-License-Identifier: MIT
#include "core/calculationstore.h"

#include "core/clock.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/interest.h"
#include "core/numbers.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtGlobal>

const QString kHeaderPendingMessage = QStringLiteral("Grave o cabeçário primeiro.");
const QString kHeaderTableName = QStringLiteral("Cal_jur1.dbf");
const QString kLineTableName = QStringLiteral("Aux_Jur1.db");
const QStringList kSeedFiles = {
    QStringLiteral("Aux_Jur1.db"),  QStringLiteral("Aux_Jur1.px"),  QStringLiteral("Aux_Jur1.xg0"),
    QStringLiteral("Aux_Jur1.yg0"), QStringLiteral("Cal_jur1.DBF"), QStringLiteral("Cal_jur1.mdx"),
};

QVector<FieldDef> HeaderFileFields()
{
    // Numbers with four decimals: every rate typed with two decimals reads back exactly.
    return {
        MakeFieldDef(QStringLiteral("COD"), FieldType::String, 6),
        MakeFieldDef(QStringLiteral("LEMBRETE"), FieldType::String, 40),
        MakeFieldDef(QStringLiteral("DATA"), FieldType::Date),
        MakeFieldDef(QStringLiteral("DATABASE"), FieldType::Date),
        MakeFieldDef(QStringLiteral("JUROS"), FieldType::Float, 19, 4),
        MakeFieldDef(QStringLiteral("VALOR"), FieldType::Float, 19, 4),
    };
}

QVector<IndexDef> HeaderFileIndexes()
{
    IndexDef cod;
    cod.name = QStringLiteral("COD");
    cod.fields = {QStringLiteral("COD")};
    return {cod};
}

QVector<FieldDef> LineFileFields()
{
    return {
        MakeFieldDef(QStringLiteral("COD"), FieldType::String, 6),
        MakeFieldDef(QStringLiteral("INCR"), FieldType::AutoInc),
        MakeFieldDef(QStringLiteral("DATA"), FieldType::Date),
        MakeFieldDef(QStringLiteral("VALOR"), FieldType::Float),
    };
}

QVector<IndexDef> LineFileIndexes()
{
    IndexDef primary;
    primary.fields = {QStringLiteral("COD"), QStringLiteral("INCR")};
    primary.primary = true;
    primary.unique = true;
    IndexDef byDate;
    byDate.name = QStringLiteral("COD_DATA");
    byDate.fields = {QStringLiteral("COD"), QStringLiteral("DATA")};
    byDate.caseInsensitive = true;
    return {primary, byDate};
}

void DeclareHeaderFields(Table &table)
{
    for (FieldDef def : HeaderFileFields()) {
        def.size = def.type == FieldType::String ? def.size : 0;
        table.addField(def);
    }
}

void DeclareLineFields(Table &table, const QString &floatFormat)
{
    struct Row {
        const char *name;
        FieldType type;
        int size;
        bool calculated;
        bool required;
    };
    // The line table's field list, in the program's order; INCR is not among them.
    static const Row rows[] = {
        {"COD", FieldType::String, 6, false, false},
        {"DATA", FieldType::Date, 0, false, true},
        {"VALOR", FieldType::Float, 0, false, true},
        {"DIAS", FieldType::String, 7, true, false},
        {"VALORDESC", FieldType::Float, 0, true, false},
        {"VALORACUM", FieldType::Float, 0, true, false},
        {"JUROS", FieldType::Float, 0, true, false},
    };
    for (const Row &row : rows) {
        FieldDef def = MakeFieldDef(QLatin1String(row.name), row.type, row.size);
        def.calculated = row.calculated;
        def.required = row.required;
        if (row.type == FieldType::Float) {
            def.displayFormat = floatFormat;
            def.editFormat = QStringLiteral("#######0.00");
            def.alignment = Qt::AlignRight;
        }
        if (row.type == FieldType::Date) {
            def.alignment = Qt::AlignHCenter;
            def.editMask = QStringLiteral("!99/99/9999;1;_");
        }
        table.addField(def);
    }
}

QString DataFolder()
{
    QString windows = qEnvironmentVariable("CHEQUES_WINDIR");
#ifdef Q_OS_WIN
    if (windows.isEmpty())
        windows = qEnvironmentVariable("SystemRoot", QStringLiteral("C:\\WINDOWS"));
    return QDir::toNativeSeparators(windows + QStringLiteral("\\temp\\"));
#else
    if (windows.isEmpty()) {
        QString base = qEnvironmentVariable("XDG_DATA_HOME");
        if (base.isEmpty())
            base = QDir::homePath() + QStringLiteral("/.local/share");
        windows = base + QStringLiteral("/cheques");
    }
    const QString folder = windows + QStringLiteral("/temp/");
    QDir().mkpath(folder);
    return folder;
#endif
}

// ---------------------------------------------------------------------------------------------

CalculationStore::CalculationStore(CalculationHost &host) : m_host(host)
{
    Table1.setTableName(kHeaderTableName);
    DeclareHeaderFields(Table1);
    Table1.setIndexName(QStringLiteral("COD"));
    Table1.beforeClose = [this](Table &t) { Table1BeforeClose(t); };
    Table1.beforeDelete = [this](Table &t) { Table1BeforeDelete(t); };

    Table2.setTableName(kLineTableName);
    DeclareLineFields(Table2);
    Table2.setIndexFieldNames(QStringLiteral("COD;INCR"));
    Table2.setMasterSource(&DataSource1, QStringLiteral("COD"));
    Table2.beforeInsert = [this](Table &t) { Table2BeforeInsert(t); };
    Table2.beforeEdit = [this](Table &t) { Table2BeforeEdit(t); };
    Table2.beforeDelete = [this](Table &t) { Table2BeforeDelete(t); };
    Table2.onNewRecord = [this](Table &t) { Table2NewRecord(t); };
    Table2.beforePost = [this](Table &t) { Table2BeforePost(t); };
    Table2.afterPost = [this](Table &t) { Table2AfterPost(t); };
    Table2.onCalcFields = [this](Table &t) { Table2CalcFields(t); };
    Table2.beforeClose = [this](Table &t) { Table1BeforeClose(t); };
    m_lineFields.emplace(Table2, Table1);
}

CalculationStore::~CalculationStore()
{
    // Nothing typed survives: the handlers drop unstored records on the way out.
    try {
        Table2.close();
        Table1.close();
    } catch (...) {
    }
}

QString CalculationStore::workingFolder() const
{
    return m_workingFolder.isEmpty() ? QDir::currentPath() : m_workingFolder;
}

void CalculationStore::PrepareDataFolder()
{
    PrepareDataFolder(DataFolder());
}

void CalculationStore::PrepareDataFolder(const QString &dataFolder)
{
    Table1.setDatabaseName(dataFolder);
    Table2.setDatabaseName(dataFolder);
    const QString templates = workingFolder();
    for (const QString &name : kSeedFiles) {
        // Never overwrite a file of that name, whatever its letter case; failures pass.
        const QString target = ResolveFileName(dataFolder, name);
        if (QFile::exists(target))
            continue;
        const QString source = ResolveFileName(templates, name);
        QFile::copy(source, QDir(dataFolder).filePath(name));
    }
}

void CalculationStore::StartNewCalculation()
{
    m_host.setHeaderPanelEnabled(true);
    m_host.setLinePanelEnabled(false);
    m_host.setSaveEnabled(true);
    m_host.resetHeaderFields();
    if (Table2.active())
        Table2.close();
    if (Table1.active())
        Table1.close();
    Table1.emptyTable();
    Table2.emptyTable();
    Table1.open();
    Table2.open();
    Table1.append();
    Table1.fieldByName(QStringLiteral("COD")).setAsString(QStringLiteral("000001"));
    m_host.focusBaseDate();
}

// --- the line guard and the store's rules ----------------------------------------------------

void CalculationStore::lineGuard()
{
    if (m_host.headerPending()) {
        m_host.showMessage(kHeaderPendingMessage);
        throw Abort();
    }
}

void CalculationStore::Table2BeforeInsert(Table &)
{
    lineGuard();
}

void CalculationStore::Table2BeforeEdit(Table &table)
{
    lineGuard();
    OldVALOR = table.fieldByName(QStringLiteral("VALOR")).asFloat();
    OldJUROS = table.fieldByName(QStringLiteral("JUROS")).asFloat();
    OldVALORDESC = table.fieldByName(QStringLiteral("VALORDESC")).asFloat();
}

void CalculationStore::Table2BeforeDelete(Table &table)
{
    lineGuard();
    SumVALOR = SumVALOR - table.fieldByName(QStringLiteral("VALOR")).asFloat();
    SumJUROS = SumJUROS - table.fieldByName(QStringLiteral("JUROS")).asFloat();
    SumVALORDESC = SumVALORDESC - table.fieldByName(QStringLiteral("VALORDESC")).asFloat();
    ShowTotals();
}

void CalculationStore::Table2NewRecord(Table &table)
{
    table.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(Today()));
    table.fieldByName(QStringLiteral("COD"))
        .setValue(Table1.fieldByName(QStringLiteral("COD")).value());
    m_host.lineStarted();
    OldVALOR = 0;
    OldJUROS = 0;
    OldVALORDESC = 0;
}

void CalculationStore::Table2BeforePost(Table &table)
{
    Field &date = table.fieldByName(QStringLiteral("DATA"));
    if (date.isNull())
        return;
    const int shifted = WeekendShift(date.asDate());
    if (shifted != date.asDate())
        date.setAsDate(shifted);
}

void CalculationStore::Table2AfterPost(Table &table)
{
    SumVALOR = (SumVALOR - OldVALOR) + table.fieldByName(QStringLiteral("VALOR")).asFloat();
    SumJUROS = (SumJUROS - OldJUROS) + table.fieldByName(QStringLiteral("JUROS")).asFloat();
    SumVALORDESC =
        (SumVALORDESC - OldVALORDESC) + table.fieldByName(QStringLiteral("VALORDESC")).asFloat();
    ShowTotals();
}

void CalculationStore::Table2CalcFields(Table &)
{
    CalculateLineFields(*m_lineFields, m_host.simpleInterest());
}

void CalculationStore::Table1BeforeClose(Table &table)
{
    if (table.state() == TableState::Insert || table.state() == TableState::Edit)
        table.cancel();
}

void CalculationStore::Table1BeforeDelete(Table &)
{
    // A header goes with all its lines, each through the guard and the totals.
    Table2.first();
    while (!Table2.isEmpty())
        Table2.deleteRecord();
}

// --- totals ----------------------------------------------------------------------------------

void CalculationStore::addUpLines()
{
    SumVALOR = 0;
    SumJUROS = 0;
    SumVALORDESC = 0;
    Field &value = Table2.fieldByName(QStringLiteral("VALOR"));
    Field &interest = Table2.fieldByName(QStringLiteral("JUROS"));
    Field &net = Table2.fieldByName(QStringLiteral("VALORDESC"));
    Table2.first();
    while (!Table2.eof()) {
        SumVALOR += value.asFloat();
        SumJUROS += interest.asFloat();
        SumVALORDESC += net.asFloat();
        Table2.next();
    }
}

void CalculationStore::RecomputeTotals()
{
    addUpLines();
    ShowTotals();
}

void CalculationStore::ShowTotals()
{
    const QString mask = QStringLiteral("#,##0.00");
    m_host.showTotals(FormatFloat(mask, SumVALOR), FormatFloat(mask, SumJUROS),
                      FormatFloat(mask, SumVALORDESC));
}

void CalculationStore::ModeSwitch()
{
    try {
        Table2.refresh();
        addUpLines();
        ShowTotals();
    } catch (...) {
        // The mode switch drops its failures; the totals keep what they had reached.
    }
}
