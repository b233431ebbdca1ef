// SPDX-License-Identifier: MIT
#pragma once

// Shared by the report tests: a header whose values the test sets, line rows as the line
// table's calculation leaves them, the two tables on disk, and the PDF readers of poppler-utils.

#include "report/calculationheader.h"
#include "report/memorydataset.h"

#include <QDate>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

class FixedHeader : public CalculationHeader
{
public:
    QString m_lembrete = QStringLiteral("CLIENTE TESTE");
    QDate m_dataBase = QDate(2025, 3, 10);
    std::optional<double> m_juros = 3.0;
    bool m_simples = true;
    mutable int m_reads = 0; // how often the report asked for the mode

    QString lembrete() const override { return m_lembrete; }
    QDate dataBase() const override { return m_dataBase; }
    std::optional<double> juros() const override { return m_juros; }
    bool jurosSimples() const override
    {
        ++m_reads;
        return m_simples;
    }
};

inline MemoryDataSet::Row LineRow(double valor, const QDate &data, int dias, double juros,
                                  double valorDesc)
{
    return {{QStringLiteral("COD"), QStringLiteral("000001")},
            {QStringLiteral("VALOR"), valor},
            {QStringLiteral("DATA"), data},
            {QStringLiteral("DIAS"), QString::number(dias)},
            {QStringLiteral("JUROS"), juros},
            {QStringLiteral("VALORDESC"), valorDesc},
            {QStringLiteral("VALORACUM"), valor + juros}};
}

// Lines 1..count of value 100 + i dated i days after 10/03/2025, simple interest at 3 %.
inline MemoryDataSet NumberedLines(int count)
{
    MemoryDataSet lines;
    const QDate base(2025, 3, 10);
    for (int i = 1; i <= count; ++i) {
        const double valor = 100 + i;
        const double juros = valor * ((i * (3.0 / 30)) / 100);
        lines.append(LineRow(valor, base.addDays(i), i, juros, valor - juros));
    }
    return lines;
}

inline bool HavePoppler()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty();
}

inline QString RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromLocal8Bit(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of one page (from 1), or of all pages when page is 0, keeping the layout.
inline QString PdfText(const QString &path, int page = 0)
{
    QStringList arguments{QStringLiteral("-layout"), QStringLiteral("-enc"),
                          QStringLiteral("UTF-8")};
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l")
                  << QString::number(page);
    return RunTool(QStringLiteral("pdftotext"), arguments << path << QStringLiteral("-"));
}

inline QString PdfInfo(const QString &path, const QString &key)
{
    const QStringList lines =
        RunTool(QStringLiteral("pdfinfo"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path})
            .split(QLatin1Char('\n'));
    for (const QString &line : lines)
        if (line.startsWith(key + QLatin1Char(':')))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

inline int PdfPageCount(const QString &path)
{
    return PdfInfo(path, QStringLiteral("Pages")).toInt();
}

#include "report/reportpages.h"
#include "report/reportprinting.h"

#include <QPrinter>

// Prints the pages the way the preview does, on a PDF printer.
inline void PrintToPdf(const ReportPages &pages, const QString &path,
                       const QString &documentName = QStringLiteral("Previsão de Relatório"))
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    PreparePrinter(printer, pages, documentName);
    PrintPages(pages, printer);
}

#include "core/calculationstore.h"
#include "core/dates.h"
#include "core/interest.h"
#include "core/table.h"
#include "support/linetables.h"

// The header and line tables in `folder`, as the report form sees them: the lines follow the
// header record on COD in order of entry and calculate with the interest engine's routine in
// the mode `simple` says at that moment. The header record is stored with the given base date
// and rate.
struct LineTables : CalculationHeader {
    LineTables(const QString &folder, const QDate &base, double rate)
    {
        WriteEmptyTables(folder);
        header.setDatabaseName(folder);
        header.setTableName(kHeaderTableName);
        DeclareHeaderFields(header);
        header.setIndexName(QStringLiteral("COD"));
        header.open();
        header.append();
        header.fieldByName(QStringLiteral("COD")).setAsString(QStringLiteral("000001"));
        header.fieldByName(QStringLiteral("LEMBRETE")).setAsString(QStringLiteral("TABELAS"));
        header.fieldByName(QStringLiteral("DATABASE")).setAsDate(DayNumber(base));
        header.fieldByName(QStringLiteral("JUROS")).setAsFloat(rate);
        header.post();

        lines.setDatabaseName(folder);
        lines.setTableName(kLineTableName);
        DeclareLineFields(lines, QStringLiteral("######0.00"));
        lines.setIndexFieldNames(QStringLiteral("COD;INCR"));
        lines.setMasterSource(&headerSource, QStringLiteral("COD"));
        lines.onCalcFields = [this](Table &t) { CalculateLineFields(t, header, simple); };
        lines.open();
    }

    // Appends a line through `table` (the lines themselves or another cursor on the file).
    static void addLine(Table &table, double valor, const QDate &data,
                        const QString &cod = QStringLiteral("000001"))
    {
        table.append();
        table.fieldByName(QStringLiteral("COD")).setAsString(cod);
        table.fieldByName(QStringLiteral("VALOR")).setAsFloat(valor);
        if (data.isValid())
            table.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(data));
        table.post();
    }
    void addLine(double valor, const QDate &data) { addLine(lines, valor, data); }

    QString lembrete() const override
    {
        return header.fieldByName(QStringLiteral("LEMBRETE")).asString();
    }
    QDate dataBase() const override
    {
        return DateOfDayNumber(header.fieldByName(QStringLiteral("DATABASE")).asDate());
    }
    std::optional<double> juros() const override
    {
        return header.fieldByName(QStringLiteral("JUROS")).asFloat();
    }
    bool jurosSimples() const override { return simple; }

    bool simple = true;
    mutable Table header{QStringLiteral("Table1")};
    DataSource headerSource{&header};
    Table lines{QStringLiteral("Table2")};
};
