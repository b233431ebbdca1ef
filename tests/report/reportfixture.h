// SPDX-License-Identifier: MIT
#pragma once

// Shared by the report tests: a header whose values the test sets, line rows as the line
// table's calculation leaves them, and the PDF readers of poppler-utils.

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
