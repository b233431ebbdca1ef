// SPDX-License-Identifier: MIT
#include "core/clock.h"
#include "core/numbers.h"
#include "report/calculationreport.h"
#include "report/laidoutpages.h"
#include "report/reportfonts.h"
#include "report/tabledataset.h"
#include "reportfixture.h"
#include "support/tempfolder.h"

#include <QApplication>
#include <QFontDatabase>
#include <QRegularExpression>
#include <QtTest>

// The calculation report with Brazilian separators (the process runs under pt_BR, see main).
class TstCalculationReport : public QObject
{
    Q_OBJECT

private:
    static const QDate kBase;
    static const QDate kToday;

    static int count(const QString &text, const QString &pattern)
    {
        return int(text.count(QRegularExpression(pattern)));
    }

private slots:
    void initTestCase()
    {
        const NumberSeparators separators = SystemSeparators();
        QCOMPARE(separators.decimal, QLatin1Char(','));
        QCOMPARE(separators.group, QLatin1Char('.'));
        setTodayForTesting(kToday);
    }
    void cleanupTestCase() { setTodayForTesting(std::nullopt); }

    void singleLine_data()
    {
        QTest::addColumn<bool>("simples");
        QTest::addColumn<double>("juros");
        QTest::addColumn<double>("valorDesc");
        QTest::addColumn<QString>("jurosText");
        QTest::addColumn<QString>("valorDescText");
        QTest::addColumn<QString>("letter");
        QTest::newRow("simple") << true << 27.0 << 573.0 << "27,00"
                                << "573,00"
                                << "S";
        QTest::newRow("compound") << false << 27.27 << 572.73 << "27,27"
                                  << "572,73"
                                  << "C";
    }

    void singleLine()
    {
        QFETCH(bool, simples);
        QFETCH(double, juros);
        QFETCH(double, valorDesc);
        QFETCH(QString, jurosText);
        QFETCH(QString, valorDescText);
        QFETCH(QString, letter);

        FixedHeader header;
        header.m_simples = simples;
        MemoryDataSet lines;
        lines.append(LineRow(600.0, kBase.addDays(45), 45, juros, valorDesc));
        CalculationReport report(lines, header);
        const LaidOutReport laidOut = report.generate();

        QCOMPARE(laidOut.pages.size(), 1);
        const LaidOutPage &page = laidOut.pages[0];
        const QList<QPair<QString, QString>> expected = {
            {"QRLabel1", "SIMULAÇÃO DE VENDA"},
            {"QRDBText10", "CLIENTE TESTE"},
            {"QRLabel2", "DATA:"},
            {"QRSysData1", "12/03/2025"},
            {"QRLabel11", letter},
            {"QRDBText7", "10/03/2025"},
            {"QRDBText8", "3,00"},
            {"QRLabel12", "%"},
            {"QRDBText3", "600,00"},
            {"QRDBText1", "24/04/2025"},
            {"QRDBText2", "45"},
            {"QRDBText4", jurosText},
            {"QRDBText5", valorDescText},
            {"QRExpr1", "600,00"},
            {"QRExpr2", jurosText},
            {"QRExpr3", valorDescText},
            {"QRLabel5", "Pág."},
            {"QRSysData2", "1"},
        };
        for (const auto &[element, text] : expected)
            QCOMPARE(page.textsOf(element), QStringList{text});
        // The interest column prints values and total but no heading.
        QVERIFY(!page.findText("QRLabel9"));

        if (!HavePoppler())
            QSKIP("poppler-utils not installed");
        TempFolder folder;
        const QString pdf = folder.file("report.pdf");
        PrintToPdf(LaidOutPages(laidOut), pdf);
        const QString text = PdfText(pdf);
        QVERIFY2(count(text, "SIMULAÇÃO DE VENDA") == 1, qPrintable(text));
        QVERIFY2(count(text, "DATA:\\s+12/03/2025\\s+" + letter + "\\n") == 1, qPrintable(text));
        QVERIFY2(count(text, "DATA BASE:\\s+10/03/2025\\s+TAXA:\\s+3,00\\s*%") == 1,
                 qPrintable(text));
        QVERIFY2(count(text, "Valor\\s+Data\\s+Nº Dias\\s+Vlr.Apurado") == 1, qPrintable(text));
        QVERIFY2(!text.contains("Juros"), qPrintable(text));
        QVERIFY2(
            count(text, "600,00\\s+24/04/2025\\s+45\\s+" + jurosText + "\\s+" + valorDescText) == 1,
            qPrintable(text));
        QVERIFY2(
            count(text, "\\n\\s*600,00\\s+" + jurosText + "\\s+" + valorDescText + "\\s*\\n") == 1,
            qPrintable(text));
        QVERIFY2(count(text, "Pág.\\s*1(?!\\d)") == 1, qPrintable(text));
        QCOMPARE(PdfInfo(pdf, "Title"), QStringLiteral("Previsão de Relatório"));
    }

    // Over the line table: every figure comes from the interest engine's routine as the report
    // reads the lines, in the mode of that moment.
    void fromTheLineTable()
    {
        QFETCH(bool, simples);
        QFETCH(QString, jurosText);
        QFETCH(QString, valorDescText);
        QFETCH(QString, letter);
        TempFolder folder;
        LineTables tables(folder.path(), kBase, 3);
        tables.simple = simples;
        tables.addLine(600.0, kBase.addDays(45));
        TableDataSet lines(tables.lines);
        CalculationReport report(lines, tables);
        const LaidOutReport laidOut = report.generate();
        QCOMPARE(laidOut.pages.size(), 1);
        const LaidOutPage &page = laidOut.pages[0];
        const QList<QPair<QString, QString>> expected = {
            {"QRDBText10", "TABELAS"},    {"QRLabel11", letter}, {"QRDBText7", "10/03/2025"},
            {"QRDBText8", "3,00"},        {"QRLabel12", "%"},    {"QRDBText3", "600,00"},
            {"QRDBText1", "24/04/2025"},  {"QRDBText2", "45"},   {"QRDBText4", jurosText},
            {"QRDBText5", valorDescText}, {"QRExpr1", "600,00"}, {"QRExpr2", jurosText},
            {"QRExpr3", valorDescText},
        };
        for (const auto &[element, text] : expected)
            QCOMPARE(page.textsOf(element), QStringList{text});
    }
    void fromTheLineTable_data() { singleLine_data(); }

    // A generation re-reads the table: lines another cursor wrote since, the header record and
    // the mode as they are now; lines of another header stay out.
    void regenerationRereadsTheTable()
    {
        TempFolder folder;
        LineTables tables(folder.path(), kBase, 3);
        tables.addLine(600.0, kBase.addDays(45));
        TableDataSet lines(tables.lines);
        CalculationReport report(lines, tables);
        const LaidOutPage before = report.generate().pages.value(0);
        QCOMPARE(before.textsOf("QRDBText4"), QStringList{"27,00"});
        QCOMPARE(before.textsOf("QRLabel11"), QStringList{"S"});

        Table other;
        other.setDatabaseName(folder.path());
        other.setTableName(kLineTableName);
        other.open();
        LineTables::addLine(other, 1000.0, kBase.addDays(30));
        LineTables::addLine(other, 5.0, kBase.addDays(30), QStringLiteral("000002"));
        tables.header.edit();
        tables.header.fieldByName(QStringLiteral("JUROS")).setAsFloat(2.5);
        tables.header.post();
        tables.simple = false;

        const LaidOutPage after = report.generate().pages.value(0);
        QCOMPARE(after.textsOf("QRLabel11"), QStringList{"C"});
        QCOMPARE(after.textsOf("QRDBText8"), QStringList{"2,50"});
        // 600 for 45 days at 2.5 %: 15.00 for the period, 7.6875 for 15 days on 615.00.
        QCOMPARE(after.textsOf("QRDBText3"), (QStringList{"600,00", "1.000,00"}));
        QCOMPARE(after.textsOf("QRDBText4"), (QStringList{"22,69", "25,00"}));
        QCOMPARE(after.textsOf("QRDBText5"), (QStringList{"577,31", "975,00"}));
        QCOMPARE(after.textsOf("QRExpr1"), QStringList{"1.600,00"});
        QCOMPARE(after.textsOf("QRExpr2"), QStringList{"47,69"});
        QCOMPARE(after.textsOf("QRExpr3"), QStringList{"1.552,31"});
    }

    // Lines print in order of entry, whatever their dates.
    void lineTableOrder()
    {
        TempFolder folder;
        LineTables tables(folder.path(), kBase, 3);
        tables.simple = false;
        tables.addLine(300.0, kBase.addDays(90));
        tables.addLine(200.0, kBase.addDays(15));
        tables.addLine(100.0, kBase.addDays(-30));
        TableDataSet lines(tables.lines);
        CalculationReport report(lines, tables);
        const LaidOutPage page = report.generate().pages.value(0);
        QCOMPARE(page.textsOf("QRDBText3"), (QStringList{"300,00", "200,00", "100,00"}));
        QCOMPARE(page.textsOf("QRDBText1"),
                 (QStringList{"08/06/2025", "25/03/2025", "08/02/2025"}));
        QCOMPARE(page.textsOf("QRDBText2"), (QStringList{"90", "15", "-30"}));
        // 300 for 90 days: 9.00, 9.27 on 309.00, then 9.5481 for 30 days on 318.27.
        QCOMPARE(page.textsOf("QRDBText4"), (QStringList{"27,82", "3,00", "-3,00"}));
        QCOMPARE(page.textsOf("QRDBText5"), (QStringList{"272,18", "197,00", "103,00"}));
    }

    void negativeDays()
    {
        FixedHeader header;
        MemoryDataSet lines;
        lines.append(LineRow(600.0, kBase.addDays(-15), -15, -9.0, 609.0));
        CalculationReport report(lines, header);
        const LaidOutPage page = report.generate().pages.value(0);
        QCOMPARE(page.textsOf("QRDBText2"), QStringList{"-15"});
        QCOMPARE(page.textsOf("QRDBText4"), QStringList{"-9,00"});
        QCOMPARE(page.textsOf("QRDBText5"), QStringList{"609,00"});
        QCOMPARE(page.textsOf("QRExpr2"), QStringList{"-9,00"});
        QCOMPARE(page.textsOf("QRExpr3"), QStringList{"609,00"});
    }

    void emptyReport()
    {
        FixedHeader header;
        MemoryDataSet lines;
        CalculationReport report(lines, header);
        const LaidOutReport laidOut = report.generate();
        QCOMPARE(laidOut.pages.size(), 1);
        const LaidOutPage &page = laidOut.pages[0];
        QCOMPARE(page.bandCount(BandKind::Title), 1);
        QCOMPARE(page.bandCount(BandKind::ColumnHeader), 1);
        QCOMPARE(page.bandCount(BandKind::Detail), 0);
        QCOMPARE(page.bandCount(BandKind::Summary), 1);
        QCOMPARE(page.bandCount(BandKind::PageFooter), 1);
        for (const char *total : {"QRExpr1", "QRExpr2", "QRExpr3"})
            QCOMPARE(page.textsOf(total), QStringList{"0,00"});
        QCOMPARE(page.textsOf("QRSysData2"), QStringList{"1"});
    }

    // The summary follows the last row and moves to a page of its own when it does not fit;
    // the first page holds 44 rows under the title, later pages 46.
    void pagination_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("one row") << 1 << 1;
        QTest::newRow("summary still fits") << 42 << 1;
        QTest::newRow("summary alone on page 2") << 43 << 2;
        QTest::newRow("page 1 full") << 44 << 2;
        QTest::newRow("summary fits on page 2") << 89 << 2;
        QTest::newRow("summary alone on page 3") << 90 << 3;
        QTest::newRow("150 lines") << 150 << 4;
    }

    void pagination()
    {
        QFETCH(int, rows);
        QFETCH(int, pages);
        FixedHeader header;
        MemoryDataSet lines = NumberedLines(rows);
        CalculationReport report(lines, header);
        const LaidOutReport laidOut = report.generate();
        QCOMPARE(laidOut.pages.size(), pages);

        const double footerTop = 279.4 - 10 - 4.76;
        int details = 0;
        for (int p = 0; p < pages; ++p) {
            const LaidOutPage &page = laidOut.pages[p];
            const bool first = p == 0, last = p == pages - 1;
            QCOMPARE(page.bandCount(BandKind::Title), first ? 1 : 0);
            QCOMPARE(page.bandCount(BandKind::ColumnHeader), 1);
            QCOMPARE(page.bandCount(BandKind::Summary), last ? 1 : 0);
            QCOMPARE(page.bandCount(BandKind::PageFooter), 1);
            // Title (on page 1) and column header open the page at the top margin.
            QCOMPARE(page.bands[0].kind, first ? BandKind::Title : BandKind::ColumnHeader);
            QCOMPARE(page.bands[0].rect.top(), 10.0);
            QCOMPARE(page.bands.last().kind, BandKind::PageFooter);
            QVERIFY(qFuzzyCompare(page.bands.last().rect.top(), footerTop));
            for (const LaidOutBand &band : page.bands)
                if (band.kind != BandKind::PageFooter)
                    QVERIFY2(band.rect.bottom() <= footerTop + 1e-9, qPrintable(band.name));
            QCOMPARE(page.textsOf("QRLabel1").size(), first ? 1 : 0);
            QCOMPARE(page.textsOf("QRLabel3"), QStringList{"DATA BASE:"});
            QCOMPARE(page.textsOf("QRSysData2"), QStringList{QString::number(p + 1)});
            QCOMPARE(page.textsOf("QRExpr1").size(), last ? 1 : 0);
            details += page.bandCount(BandKind::Detail);
        }
        QCOMPARE(details, rows);

        // Rows keep their order across pages.
        QStringList values;
        for (const LaidOutPage &page : laidOut.pages)
            values += page.textsOf("QRDBText3");
        QCOMPARE(values.first(), QStringLiteral("101,00"));
        QCOMPARE(values.last(), FormatFloat("##,###,##0.00", 100 + rows));
    }

    void longReportInPdf()
    {
        if (!HavePoppler())
            QSKIP("poppler-utils not installed");
        FixedHeader header;
        MemoryDataSet lines = NumberedLines(150);
        CalculationReport report(lines, header);
        TempFolder folder;
        const QString pdf = folder.file("long.pdf");
        PrintToPdf(LaidOutPages(report.generate()), pdf);
        QCOMPARE(PdfPageCount(pdf), 4);
        // 101 + 102 + ... + 250
        const QString total = QStringLiteral("26.325,00");
        for (int p = 1; p <= 4; ++p) {
            const QString text = PdfText(pdf, p);
            QVERIFY2(count(text, "SIMULAÇÃO DE VENDA") == (p == 1 ? 1 : 0), qPrintable(text));
            QVERIFY2(count(text, "DATA:\\s+12/03/2025") == (p == 1 ? 1 : 0), qPrintable(text));
            QVERIFY2(count(text, "DATA BASE:\\s+10/03/2025\\s+TAXA:\\s+3,00") == 1,
                     qPrintable(text));
            QVERIFY2(count(text, "Vlr.Apurado") == 1, qPrintable(text));
            QVERIFY2(count(text, QStringLiteral("Pág.\\s*%1(?!\\d)").arg(p)) == 1,
                     qPrintable(text));
            QVERIFY2(count(text, total) == (p == 4 ? 1 : 0), qPrintable(text));
        }
    }

    // Totals add the unrounded values and round once: three rows printing 1,00 make 3,01.
    void totalsRoundOnce()
    {
        FixedHeader header;
        MemoryDataSet lines;
        for (int i = 0; i < 3; ++i)
            lines.append(LineRow(100.0, kBase.addDays(10), 10, 1.004, 98.996));
        CalculationReport report(lines, header);
        const LaidOutPage page = report.generate().pages.value(0);
        QCOMPARE(page.textsOf("QRDBText4"), (QStringList{"1,00", "1,00", "1,00"}));
        QCOMPARE(page.textsOf("QRDBText5"), (QStringList{"99,00", "99,00", "99,00"}));
        QCOMPARE(page.textsOf("QRExpr1"), QStringList{"300,00"});
        QCOMPARE(page.textsOf("QRExpr2"), QStringList{"3,01"});
        QCOMPARE(page.textsOf("QRExpr3"), QStringList{"296,99"});
    }

    // Every generation reads header, mode, lines and date again.
    void generationReadsAfresh()
    {
        FixedHeader header;
        MemoryDataSet lines;
        lines.append(LineRow(600.0, kBase.addDays(45), 45, 27.0, 573.0));
        CalculationReport report(lines, header);
        const LaidOutPage before = report.generate().pages.value(0);
        QCOMPARE(before.textsOf("QRLabel11"), QStringList{"S"});

        header.m_simples = false;
        header.m_juros = 2.5;
        header.m_lembrete = QStringLiteral("OUTRO");
        header.m_dataBase = QDate(2025, 4, 1);
        header.m_juros = 2.5;
        lines.append(LineRow(1234.5, kBase.addDays(60), 60, 74.07, 1160.43));
        setTodayForTesting(QDate(2025, 5, 2));
        const LaidOutPage after = report.generate().pages.value(0);
        setTodayForTesting(kToday);

        QCOMPARE(after.textsOf("QRLabel11"), QStringList{"C"});
        QCOMPARE(after.textsOf("QRDBText8"), QStringList{"2,50"});
        QCOMPARE(after.textsOf("QRDBText10"), QStringList{"OUTRO"});
        QCOMPARE(after.textsOf("QRDBText7"), QStringList{"01/04/2025"});
        QCOMPARE(after.textsOf("QRSysData1"), QStringList{"02/05/2025"});
        QCOMPARE(after.textsOf("QRDBText3"), (QStringList{"600,00", "1.234,50"}));
        QCOMPARE(after.textsOf("QRExpr1"), QStringList{"1.834,50"});
    }

    void emptyHeaderFields()
    {
        FixedHeader header;
        header.m_dataBase = QDate();
        header.m_juros.reset();
        header.m_lembrete.clear();
        MemoryDataSet lines;
        lines.append(LineRow(50.0, QDate(), 0, 0.0, 50.0));
        CalculationReport report(lines, header);
        const LaidOutPage page = report.generate().pages.value(0);
        QCOMPARE(page.textsOf("QRDBText7"), QStringList{""});
        QCOMPARE(page.textsOf("QRDBText8"), QStringList{""});
        QCOMPARE(page.textsOf("QRDBText10"), QStringList{""});
        QCOMPARE(page.textsOf("QRDBText1"), QStringList{""});
    }

    // Positions are millimetres from the band's corner; bands start on the left margin.
    void geometry_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("width"); // 0: sized to text, only checked to be positive
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("alignment");
        const int L = int(TextAlignment::Left), R = int(TextAlignment::Right);
        QTest::newRow("date label") << "QRLabel2" << 15 + 142.08 << 10 + 1.06 << 0.0 << 4.5 << L;
        QTest::newRow("letter") << "QRLabel11" << 15 + 173.30 << 10 + 1.32 << 0.0 << 4.5 << L;
        QTest::newRow("rate") << "QRDBText8" << 15 + 120.65 << 22.7 + 2.65 << 10.85 << 4.5 << R;
        QTest::newRow("Valor heading")
            << "QRLabel8" << 15 + 35.45 << 22.7 + 13.76 << 0.0 << 5.03 << L;
        QTest::newRow("value") << "QRDBText3" << 15 + 17.20 << 41.75 + 0.26 << 27.78 << 4.5 << R;
        QTest::newRow("days") << "QRDBText2" << 15 + 76.20 << 41.75 + 0.26 << 12.44 << 4.5 << R;
        QTest::newRow("date") << "QRDBText1" << 15 + 50.54 << 41.75 + 0.26 << 23.55 << 4.5 << L;
        QTest::newRow("net total") << "QRExpr3" << 15 + 120.91 << 46.78 + 0.79 << 27.78 << 4.5 << R;
        QTest::newRow("page number")
            << "QRSysData2" << 15 + 165.63 << 264.64 + 0.79 << 0.0 << 4.5 << L;
    }

    void geometry()
    {
        QFETCH(QString, element);
        QFETCH(double, left);
        QFETCH(double, top);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, alignment);
        FixedHeader header;
        MemoryDataSet lines;
        lines.append(LineRow(600.0, kBase.addDays(45), 45, 27.0, 573.0));
        CalculationReport report(lines, header);
        const LaidOutPage page = report.generate().pages.value(0);
        const LaidOutText *item = page.findText(element);
        QVERIFY(item);
        QCOMPARE(item->rect.left(), left);
        QVERIFY2(qAbs(item->rect.top() - top) < 1e-9,
                 qPrintable(QString::number(item->rect.top())));
        if (width > 0)
            QCOMPARE(item->rect.width(), width);
        else
            QVERIFY(item->rect.width() > 0);
        QCOMPARE(item->rect.height(), height);
        QCOMPARE(int(item->alignment), alignment);
    }

    void centredAndRules()
    {
        FixedHeader header;
        MemoryDataSet lines;
        CalculationReport report(lines, header);
        const LaidOutPage page = report.generate().pages.value(0);
        for (const char *element : {"QRLabel1", "QRDBText10"}) {
            const LaidOutText *item = page.findText(element);
            QVERIFY(item);
            QVERIFY(qAbs(item->rect.center().x() - (15 + 175.9 / 2)) < 1e-9);
            QCOMPARE(item->alignment, TextAlignment::Centre);
        }
        QCOMPARE(page.findText("QRLabel1")->font,
                 (ReportFont{QStringLiteral("Verdana"), 14, true, false}));
        QCOMPARE(page.findText("QRDBText10")->font,
                 (ReportFont{QStringLiteral("Arial"), 10, true, true}));

        // Title: dash-dot along top and bottom; column header: grey below; summary: grey above.
        struct Rule {
            double y;
            RuleStyle style;
        };
        const Rule expected[] = {{10, RuleStyle::DashDotBlack},
                                 {22.7, RuleStyle::DashDotBlack},
                                 {41.75, RuleStyle::GreySolid},
                                 {41.75, RuleStyle::GreySolid}};
        QCOMPARE(page.lines.size(), 4);
        for (int i = 0; i < 4; ++i) {
            const LaidOutLine &line = page.lines[i];
            QVERIFY(qAbs(line.from.y() - expected[i].y) < 1e-9);
            QCOMPARE(line.to.y(), line.from.y());
            QCOMPARE(line.from.x(), 15.0);
            QVERIFY(qAbs(line.to.x() - 190.9) < 1e-9);
            QCOMPARE(line.style, expected[i].style);
        }
    }

    void fontsSubstituted()
    {
        if (QFontDatabase::hasFamily("Arial") || QFontDatabase::hasFamily("Verdana") ||
            QFontDatabase::hasFamily("Times New Roman"))
            QSKIP("the original fonts are installed");
        QCOMPARE(SubstituteFontFamily("Arial"), QStringLiteral("Liberation Sans"));
        QCOMPARE(SubstituteFontFamily("Times New Roman"), QStringLiteral("Liberation Serif"));
        QCOMPARE(SubstituteFontFamily("Verdana"), QStringLiteral("DejaVu Sans"));
        if (QStandardPaths::findExecutable("pdffonts").isEmpty())
            QSKIP("pdffonts not installed");
        FixedHeader header;
        MemoryDataSet lines;
        CalculationReport report(lines, header);
        TempFolder folder;
        const QString pdf = folder.file("fonts.pdf");
        PrintToPdf(LaidOutPages(report.generate()), pdf);
        const QString fonts = RunTool("pdffonts", {pdf});
        for (const char *name : {"DejaVuSans-Bold", "LiberationSans-BoldItalic", "LiberationSerif",
                                 "LiberationSans-Bold", "LiberationSans"})
            QVERIFY2(fonts.contains(QLatin1String(name)), qPrintable(fonts));
    }
};

const QDate TstCalculationReport::kBase(2025, 3, 10);
const QDate TstCalculationReport::kToday(2025, 3, 12);

int main(int argc, char **argv)
{
    // QLocale::system() follows LC_ALL even where the locale is not generated.
    qputenv("LC_ALL", "pt_BR.UTF-8");
    QApplication app(argc, argv);
    TstCalculationReport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_calculationreport.moc"
