// SPDX-License-Identifier: MIT
#include "controls/messages.h"
#include "core/clock.h"
#include "report/calculationreport.h"
#include "report/laidoutpages.h"
#include "report/previewwindow.h"
#include "report/reportfile.h"
#include "reportfixture.h"
#include "support/tempfolder.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QSpinBox>
#include <QtTest>

// The preview window around the calculation report: its frame and commands, printing through
// the print dialog's choices, saving and opening report files, PDF output, closing.
class TstPreviewWindow : public QObject
{
    Q_OBJECT

private:
    // A calculation report of `rows` lines with the preview's dialogs answered by the test.
    struct Fixture {
        explicit Fixture(int rows = 1) : lines(NumberedLines(rows)), report(lines, header) {}

        // The preview, shown maximized as exec() shows it, without waiting on it.
        PreviewWindow &open()
        {
            window = std::make_unique<PreviewWindow>([this] { return report.generate(); });
            PreviewDialogs dialogs;
            dialogs.print = [this](QPrinter &printer, int pageCount, QWidget *) {
                ++printDialogs;
                dialogPageCount = pageCount;
                if (printTo.isEmpty())
                    return false;
                printer.setOutputFormat(QPrinter::PdfFormat);
                printer.setOutputFileName(printTo);
                if (choose)
                    choose(printer);
                return true;
            };
            dialogs.pageSetup = [this](QPrinter &printer, QWidget *) {
                setupPrinter = &printer;
                return true;
            };
            dialogs.saveFileName = [this](QWidget *, QString *filter) {
                *filter = saveFilter;
                return saveAs;
            };
            dialogs.openFileName = [this](QWidget *) { return openPath; };
            window->setDialogs(dialogs);
            window->showMaximized();
            QApplication::setActiveWindow(window.get());
            return *window;
        }

        QString file(const QString &name) const { return folder.file(name); }

        TempFolder folder;
        FixedHeader header;
        MemoryDataSet lines;
        CalculationReport report;
        std::unique_ptr<PreviewWindow> window;
        QString printTo, saveAs, saveFilter = PreviewDialogs::kReportFilter, openPath;
        std::function<void(QPrinter &)> choose; // what the user picks in the print dialog
        int printDialogs = 0;
        int dialogPageCount = 0;
        QPrinter *setupPrinter = nullptr;
    };

    static QAction *action(PreviewWindow &w, const char *name)
    {
        return w.findChild<QAction *>(QLatin1String(name));
    }

    static bool isPdf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) && file.read(5) == "%PDF-";
    }

    // pdftotext's layout text without the blanks, which depend on sub-point positions only.
    static QString words(const QString &text)
    {
        return text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts).join(' ');
    }

    QStringList m_boxes;

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        setTodayForTesting(QDate(2025, 3, 12));
        Messages::setSinkForTesting([this](Messages::Kind, const QString &text) {
            m_boxes << text;
            return true;
        });
        QVERIFY2(HavePoppler(), "pdftotext and pdfinfo (poppler-utils) are needed");
    }
    void cleanupTestCase()
    {
        Messages::setSinkForTesting({});
        setTodayForTesting(std::nullopt);
    }
    void init() { m_boxes.clear(); }

    void frame()
    {
        Fixture f;
        PreviewWindow &w = f.open();
        QCOMPARE(w.windowTitle(), QStringLiteral("Previsão de Relatório"));
        QVERIFY(w.isMaximized());
        QVERIFY(w.isWindow());
        QVERIFY(!(w.windowFlags() & Qt::WindowStaysOnTopHint));
        QCOMPARE(w.windowModality(), Qt::NonModal);
        const QStringList actions = {"zoomWholePage", "zoomActualSize", "zoomPageWidth",
                                     "firstPage",     "previousPage",   "nextPage",
                                     "lastPage",      "setupPrinter",   "print",
                                     "save",          "open",           "close"};
        for (const QString &name : actions)
            QVERIFY2(action(w, qPrintable(name)), qPrintable(name));
        auto *duplex = w.findChild<QCheckBox *>(QStringLiteral("duplexBox"));
        QVERIFY(duplex);
        QCOMPARE(duplex->text(), QStringLiteral("Frente e Verso"));
        QVERIFY(!duplex->isChecked());
        QVERIFY(w.findChild<QSpinBox *>(QStringLiteral("pageBox")));
        // As the report leaves them: one copy, all pages, single-sided, the job's name.
        QCOMPARE(w.printer().copyCount(), 1);
        QCOMPARE(w.printer().printRange(), QPrinter::AllPages);
        QCOMPARE(w.printer().duplex(), QPrinter::DuplexNone);
        QCOMPARE(w.printer().docName(), QStringLiteral("Previsão de Relatório"));
        QCOMPARE(w.printer().pageLayout().pageSize().id(), QPageSize::Letter);
        QCOMPARE(w.printer().pageLayout().orientation(), QPageLayout::Portrait);
    }

    void zoom()
    {
        Fixture f;
        PreviewWindow &w = f.open();
        QPrintPreviewWidget *preview = w.previewWidget();
        // It opens showing the page's width.
        QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::FitToWidth);
        QVERIFY(action(w, "zoomPageWidth")->isChecked());
        action(w, "zoomWholePage")->trigger();
        QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::FitInView);
        QVERIFY(action(w, "zoomWholePage")->isChecked());
        QVERIFY(!action(w, "zoomPageWidth")->isChecked());
        action(w, "zoomActualSize")->trigger();
        QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::CustomZoom);
        QCOMPARE(preview->zoomFactor(), 1.0);
        action(w, "zoomPageWidth")->trigger();
        QCOMPARE(preview->zoomMode(), QPrintPreviewWidget::FitToWidth);
    }

    void navigation()
    {
        Fixture f(150); // four pages
        PreviewWindow &w = f.open();
        auto *box = w.findChild<QSpinBox *>(QStringLiteral("pageBox"));
        QCOMPARE(w.pageCount(), 4);
        QCOMPARE(w.currentPage(), 1);
        QCOMPARE(box->maximum(), 4);
        const QPair<const char *, int> steps[] = {
            {"nextPage", 2},     {"nextPage", 3},  {"lastPage", 4},     {"nextPage", 4},
            {"previousPage", 3}, {"firstPage", 1}, {"previousPage", 1},
        };
        for (const auto &[name, page] : steps) {
            action(w, name)->trigger();
            QVERIFY2(w.currentPage() == page, name);
            QCOMPARE(box->value(), page);
        }
        // Go to a page by number, typed into the page box and confirmed with Enter.
        box->setFocus();
        box->selectAll();
        QTest::keyClicks(box, "3");
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(w.currentPage(), 3);
        w.goToPage(99);
        QCOMPARE(w.currentPage(), 4);
        w.goToPage(0);
        QCOMPARE(w.currentPage(), 1);
        // Keys.
        QTest::keyClick(&w, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(w.currentPage(), 4);
        QTest::keyClick(&w, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(w.currentPage(), 1);
    }

    void printerSetupAndDoubleSided()
    {
        Fixture f;
        PreviewWindow &w = f.open();
        action(w, "setupPrinter")->trigger();
        QCOMPARE(f.setupPrinter, &w.printer());

        auto *duplex = w.findChild<QCheckBox *>(QStringLiteral("duplexBox"));
        duplex->click();
        QVERIFY(duplex->isChecked());
        // The printer takes the choice when it prints on both sides (a PDF printer does not).
        QPrinter probe(QPrinter::HighResolution);
        probe.setDuplex(QPrinter::DuplexAuto);
        if (probe.duplex() != QPrinter::DuplexNone)
            QVERIFY(w.printer().duplex() != QPrinter::DuplexNone);
        duplex->click();
        QVERIFY(!duplex->isChecked());
        QCOMPARE(w.printer().duplex(), QPrinter::DuplexNone);

        // What the print dialog settles for shows in the box afterwards.
        duplex->click();
        f.printTo = f.file("duplex.pdf");
        f.choose = [](QPrinter &printer) { printer.setDuplex(QPrinter::DuplexNone); };
        w.printReport();
        QVERIFY(!duplex->isChecked());
        QVERIFY(QFile::exists(f.printTo));
    }

    // The print dialog's page range and copies decide which sheets go out.
    void printChoices_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("from"); // 0: all pages
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("copies");
        QTest::addColumn<QList<int>>("sheets"); // the page number printed on each sheet
        QTest::newRow("all pages") << 150 << 0 << 0 << 1 << QList<int>{1, 2, 3, 4};
        QTest::newRow("pages 2 to 3") << 150 << 2 << 3 << 1 << QList<int>{2, 3};
        QTest::newRow("page 4 only") << 150 << 4 << 4 << 1 << QList<int>{4};
        QTest::newRow("range past the end") << 150 << 3 << 9 << 1 << QList<int>{3, 4};
        QTest::newRow("two copies") << 1 << 0 << 0 << 2 << QList<int>{1, 1};
        QTest::newRow("two copies of 1 to 2") << 150 << 1 << 2 << 2 << QList<int>{1, 2, 1, 2};
    }

    void printChoices()
    {
        QFETCH(int, rows);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, copies);
        QFETCH(QList<int>, sheets);
        Fixture f(rows);
        PreviewWindow &w = f.open();
        f.printTo = f.file("printed.pdf");
        f.choose = [=](QPrinter &printer) {
            if (from > 0) {
                printer.setPrintRange(QPrinter::PageRange);
                printer.setFromTo(from, to);
            }
            printer.setCopyCount(copies);
            printer.setCollateCopies(true);
        };
        action(w, "print")->trigger();
        QCOMPARE(f.printDialogs, 1);
        QCOMPARE(f.dialogPageCount, w.pageCount());
        QVERIFY(m_boxes.isEmpty());
        QCOMPARE(PdfPageCount(f.printTo), sheets.size());
        for (int i = 0; i < sheets.size(); ++i) {
            const QString text = PdfText(f.printTo, i + 1);
            QVERIFY2(text.contains(
                         QRegularExpression(QStringLiteral("Pág.\\s*%1(?!\\d)").arg(sheets[i]))),
                     qPrintable(text));
        }
        QCOMPARE(PdfInfo(f.printTo, "Title"), QStringLiteral("Previsão de Relatório"));
    }

    void cancelledPrintPrintsNothing()
    {
        Fixture f;
        PreviewWindow &w = f.open();
        f.printTo.clear();
        w.printReport();
        QCOMPARE(f.printDialogs, 1);
        QVERIFY(!QFile::exists(f.file("printed.pdf")));
        QVERIFY(m_boxes.isEmpty());
    }

    // Ctrl+S asks for a file; the name decides the kind: a typed ".pdf" gives a PDF whatever the
    // filter, a name without extension takes the filter's.
    void saveKinds_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("pdf");
        const QString rel = PreviewDialogs::kReportFilter, pdf = PreviewDialogs::kPdfFilter;
        QTest::newRow("typed .pdf, report filter") << "a.pdf" << rel << "a.pdf" << true;
        QTest::newRow("typed .PDF") << "b.PDF" << rel << "b.PDF" << true;
        QTest::newRow("no extension, PDF filter") << "c" << pdf << "c.pdf" << true;
        QTest::newRow("no extension, report filter") << "d" << rel << "d.rel" << false;
        QTest::newRow("typed .rel, PDF filter") << "e.rel" << pdf << "e.rel" << false;
    }

    void saveKinds()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(bool, pdf);
        Fixture f;
        PreviewWindow &w = f.open();
        f.saveAs = f.file(typed);
        f.saveFilter = filter;
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(m_boxes.isEmpty());
        const QString path = f.file(written);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        QCOMPARE(isPdf(path), pdf);
        if (pdf) {
            QCOMPARE(PdfInfo(path, "Title"), QStringLiteral("Previsão de Relatório"));
            QVERIFY(PdfText(path).contains(QStringLiteral("SIMULAÇÃO DE VENDA")));
        } else {
            QCOMPARE(LoadReportFile(path).pageCount(), 1);
        }
    }

    // A saved report opened again shows and prints what was saved, not the data of now.
    void reportFileRoundTrip()
    {
        Fixture f(150);
        const QString direct = f.file("direct.pdf");
        WritePdf(LaidOutPages(f.report.generate()), direct, PreviewWindow::kCaption);

        PreviewWindow &w = f.open();
        f.saveAs = f.file("saved.rel");
        action(w, "save")->trigger();
        QVERIFY(m_boxes.isEmpty());
        w.close();

        // Another data set by now: a loaded report must not follow it.
        f.lines.clear();
        f.header.m_simples = false;
        PreviewWindow &again = f.open();
        QCOMPARE(again.pageCount(), 1);
        f.openPath = f.saveAs;
        QTest::keyClick(&again, Qt::Key_O, Qt::ControlModifier);
        QVERIFY2(m_boxes.isEmpty(), qPrintable(m_boxes.join('|')));
        QVERIFY(again.pagesFromFile());
        QCOMPARE(again.pageCount(), 4);
        QCOMPARE(again.currentPage(), 1);

        f.printTo = f.file("loaded.pdf");
        again.printReport();
        QCOMPARE(PdfPageCount(f.printTo), 4);
        QCOMPARE(PdfInfo(f.printTo, "Title"), QStringLiteral("Previsão de Relatório"));
        for (int page = 1; page <= 4; ++page)
            QCOMPARE(words(PdfText(f.printTo, page)), words(PdfText(direct, page)));

        // Saved again as PDF from the loaded pages: the same text once more.
        f.saveAs = f.file("loaded-saved.pdf");
        again.saveReport();
        QCOMPARE(words(PdfText(f.saveAs)), words(PdfText(direct)));
    }

    // The screen shows a loaded report as it showed the report that was saved.
    void loadedReportLooksTheSameOnScreen()
    {
        Fixture f;
        PreviewWindow &w = f.open();
        w.resize(900, 1100);
        w.zoomWholePage();
        const QImage before = w.previewWidget()->grab().toImage();
        f.saveAs = f.file("shown.rel");
        w.saveReport();
        f.openPath = f.saveAs;
        w.openReport();
        QVERIFY(w.pagesFromFile());
        const QImage after = w.previewWidget()->grab().toImage();
        QCOMPARE(after.size(), before.size());
        // Ink per row: text of another size moves rows and changes their length.
        auto inkRows = [](const QImage &image) {
            QVector<int> rows;
            const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
            for (int y = 0; y < gray.height(); ++y) {
                int ink = 0;
                const uchar *line = gray.constScanLine(y);
                for (int x = 0; x < gray.width(); ++x)
                    ink += line[x] < 128 ? 1 : 0;
                rows.append(ink);
            }
            return rows;
        };
        const QVector<int> a = inkRows(before), b = inkRows(after);
        int differing = 0, inked = 0;
        for (int y = 0; y < a.size(); ++y) {
            inked += a[y] > 0 ? 1 : 0;
            differing += qAbs(a[y] - b[y]) > 2 + a[y] / 10 ? 1 : 0;
        }
        QVERIFY(inked > 20);
        QVERIFY2(differing <= inked / 20,
                 qPrintable(QStringLiteral("%1 of %2 rows differ").arg(differing).arg(inked)));
    }

    void badReportFileIsReported()
    {
        Fixture f;
        PreviewWindow &w = f.open();
        const QString path = f.file("bad.rel");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("CHQREL\r\n garbage");
        file.close();
        f.openPath = path;
        w.openReport();
        QCOMPARE(m_boxes.size(), 1);
        QVERIFY2(m_boxes.first().contains(QStringLiteral("não é um relatório válido")),
                 qPrintable(m_boxes.first()));
        // The pages shown before stay.
        QVERIFY(!w.pagesFromFile());
        QCOMPARE(w.pageCount(), 1);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("Escape in the page box") << "Escape in the page box";
        QTest::newRow("close button") << "close button";
    }

    void closing()
    {
        QFETCH(QString, how);
        Fixture f;
        PreviewWindow &w = f.open();
        QSignalSpy closed(&w, &PreviewWindow::closed);
        if (how == QLatin1String("Escape")) {
            QTest::keyClick(&w, Qt::Key_Escape);
        } else if (how == QLatin1String("Escape in the page box")) {
            auto *box = w.findChild<QSpinBox *>(QStringLiteral("pageBox"));
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Escape);
        } else {
            action(w, "close")->trigger();
        }
        QVERIFY(!w.isVisible());
        QCOMPARE(closed.size(), 1);
    }

    // exec() waits in its own event loop until the window closes, and the rest goes on.
    void execWaitsUntilClosed()
    {
        Fixture f;
        bool timerRan = false;
        bool visibleDuringWait = false;
        bool escapeFailed = false;
        PreviewWindow::setOpenedHookForTesting([&](PreviewWindow &w) {
            QTimer::singleShot(0, &w, [&] {
                timerRan = true;
                QApplication::setActiveWindow(&w);
                visibleDuringWait = w.isVisible() && w.isMaximized();
                QTest::keyClick(&w, Qt::Key_Escape);
                if (w.isVisible()) {
                    escapeFailed = true;
                    w.close();
                }
            });
        });
        f.report.preview();
        PreviewWindow::setOpenedHookForTesting({});
        QVERIFY(timerRan);
        QVERIFY(visibleDuringWait);
        QVERIFY(!escapeFailed);
        QVERIFY(!f.report.previewWindow());
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TstPreviewWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_previewwindow.moc"
