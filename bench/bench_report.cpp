// SPDX-License-Identifier: MIT
// The calculation report of 10,000 lines to PDF: our report writer over the line table (read,
// calculate, lay out, write the PDF) against LibreOffice converting the same lines, given as a
// CSV file, to PDF headless. Prints the ratio and the pages per second of ours.
#include "core/numbers.h"
#include "ratioreporter.h"
#include "report/calculationreport.h"
#include "report/laidoutpages.h"
#include "report/reportfixture.h"
#include "report/reportprinting.h"
#include "report/tabledataset.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTextStream>
#include <QUrl>
#include <cstdio>

namespace
{

constexpr int kLines = 10000;
const QDate kBase(2024, 3, 5);

// The calculation of the benchmark: rate 3, compound interest, cheques spread over 400 days.
struct Calculation {
    Calculation() : tables(folder.path(), kBase, 3.0), lines(tables.lines), report(lines, tables)
    {
        tables.simple = false;
        for (int i = 0; i < kLines; ++i)
            tables.addLine(100 + i, kBase.addDays(1 + i % 400));
    }

    // The same lines as the report prints them, for the peer.
    void writeCsv(const QString &path)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        QTextStream out(&file);
        const QString money = QStringLiteral("##,###,##0.00");
        out << "Valor;Data;Nº Dias;Juros;Vlr.Apurado\n";
        double valor = 0, juros = 0, desc = 0;
        for (lines.first(); !lines.eof(); lines.next()) {
            const double v = lines.value(QStringLiteral("VALOR")).toDouble();
            const double j = lines.value(QStringLiteral("JUROS")).toDouble();
            const double d = lines.value(QStringLiteral("VALORDESC")).toDouble();
            out << '"' << FormatFloat(money, v) << "\";" << lines.text(QStringLiteral("DATA"))
                << ';' << lines.text(QStringLiteral("DIAS")) << ";\"" << FormatFloat(money, j)
                << "\";\"" << FormatFloat(money, d) << "\"\n";
            valor += v;
            juros += j;
            desc += d;
        }
        out << '"' << FormatFloat(money, valor) << "\";;;\"" << FormatFloat(money, juros) << "\";\""
            << FormatFloat(money, desc) << "\"\n";
    }

    TempFolder folder;
    LineTables tables;
    TableDataSet lines;
    CalculationReport report;
};

Calculation &calculation()
{
    static Calculation c;
    return c;
}

int g_pages = 0;
double g_oursSeconds = 0;
int g_oursRuns = 0;

void BM_OursReportPdf(benchmark::State &state)
{
    Calculation &c = calculation();
    const QString pdf = c.folder.file(QStringLiteral("ours.pdf"));
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const LaidOutPages pages(c.report.generate());
        WritePdf(pages, pdf, QStringLiteral("Previsão de Relatório"));
        g_oursSeconds += timer.nsecsElapsed() / 1e9;
        ++g_oursRuns;
        g_pages = pages.pageCount();
    }
    state.counters["pages"] = g_pages;
}

// The two halves of ours, to see where the time goes.
void BM_OursLayoutOnly(benchmark::State &state)
{
    Calculation &c = calculation();
    for (auto _ : state)
        benchmark::DoNotOptimize(c.report.generate().pages.size());
}

void BM_OursPdfOnly(benchmark::State &state)
{
    Calculation &c = calculation();
    const LaidOutPages pages(c.report.generate());
    const QString pdf = c.folder.file(QStringLiteral("only.pdf"));
    for (auto _ : state)
        WritePdf(pages, pdf, QStringLiteral("Previsão de Relatório"));
}

QString soffice()
{
    for (const char *name : {"soffice", "libreoffice"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

bool runSoffice(const QString &program, const QString &profile, const QString &csv,
                const QString &outDir)
{
    QProcess process;
    process.start(program, {QStringLiteral("-env:UserInstallation=") +
                                QUrl::fromLocalFile(profile).toString(),
                            QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                            QStringLiteral("pdf"), QStringLiteral("--outdir"), outDir, csv});
    return process.waitForFinished(600000) && process.exitCode() == 0;
}

void BM_LibreOfficeCsvPdf(benchmark::State &state)
{
    const QString program = soffice();
    if (program.isEmpty()) {
        state.SkipWithError("soffice not installed (bench/run installs libreoffice-calc-nogui)");
        return;
    }
    Calculation &c = calculation();
    const QString csv = c.folder.file(QStringLiteral("lines.csv"));
    c.writeCsv(csv);
    TempFolder profile, out;
    // The first start of a fresh profile sets it up; that is not the conversion.
    if (!runSoffice(program, profile.path(), csv, out.path())) {
        state.SkipWithError("soffice failed");
        return;
    }
    for (auto _ : state) {
        if (!runSoffice(program, profile.path(), csv, out.path())) {
            state.SkipWithError("soffice failed");
            return;
        }
    }
    const QString pdf = QDir(out.path()).filePath(QStringLiteral("lines.pdf"));
    state.counters["pdf_bytes"] = double(QFile(pdf).size());
}

} // namespace

BENCHMARK(BM_OursReportPdf)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();
BENCHMARK(BM_OursLayoutOnly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_OursPdfOnly)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(BM_LibreOfficeCsvPdf)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    const int result = RunWithRatios(argc, argv,
                                     {{"report_pdf_vs_libreoffice",
                                       {"BM_OursReportPdf/iterations:5/real_time",
                                        "BM_LibreOfficeCsvPdf/iterations:3/real_time"}}});
    if (g_oursRuns > 0)
        std::printf("PAGES_PER_SECOND report_pdf = %.1f (%d pages, %.3f s a report)\n",
                    g_pages / (g_oursSeconds / g_oursRuns), g_pages, g_oursSeconds / g_oursRuns);
    return result;
}
