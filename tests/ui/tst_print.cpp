// SPDX-License-Identifier: MIT
#include "controls/maskedit.h"
#include "controls/ovalbutton.h"
#include "core/clock.h"
#include "core/dates.h"
#include "core/table.h"
#include "report/previewwindow.h"
#include "report/reportfixture.h"
#include "support/ui/appmain.h"
#include "support/ui/windowfixture.h"
#include "ui/tcheq.h"
#include "ui/timp.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

// The print command of the main window: the guard, the report form and its view of the line
// table, the preview's wait and what printing from the preview puts on paper.
class TestPrint : public QObject
{
    Q_OBJECT

private:
    static const QDate kToday; // also the base date the header starts with

    // The print button, clicked with the mouse so that errors reach the error box. `during` runs
    // on the first preview once its wait has begun; the preview is closed afterwards whatever
    // `during` did. Returns how many previews opened.
    static int clickPrint(TCHEQ &w, std::function<void(PreviewWindow &)> during = {})
    {
        int opened = 0;
        PreviewWindow::setOpenedHookForTesting([&](PreviewWindow &preview) {
            if (++opened > 1) {
                preview.close(); // a second preview is a fault; do not wait on it
                return;
            }
            preview.setDialogs(cancellingDialogs());
            QPointer<PreviewWindow> shown(&preview);
            QTimer::singleShot(0, &preview, [shown, during] {
                const auto closeIt = qScopeGuard([shown] {
                    if (shown)
                        shown->close();
                });
                if (during)
                    during(*shown);
            });
        });
        const auto unhook = qScopeGuard([] { PreviewWindow::setOpenedHookForTesting({}); });
        QTest::mouseClick(w.BitBtn2, Qt::LeftButton, {}, w.BitBtn2->rect().center());
        return opened;
    }

    // Dialogs that all cancel, so that nothing waits on a real one.
    static PreviewDialogs cancellingDialogs()
    {
        PreviewDialogs dialogs;
        dialogs.print = [](QPrinter &, int, QWidget *) { return false; };
        dialogs.pageSetup = [](QPrinter &, QWidget *) { return false; };
        dialogs.saveFileName = [](QWidget *, QString *) { return QString(); };
        dialogs.openFileName = [](QWidget *) { return QString(); };
        return dialogs;
    }

    // Prints from the preview as the user does after the print dialog, onto a PDF file.
    static void printFromPreview(PreviewWindow &preview, const QString &pdf)
    {
        PreviewDialogs dialogs = cancellingDialogs();
        dialogs.print = [pdf](QPrinter &printer, int, QWidget *) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return true;
        };
        preview.setDialogs(dialogs);
        preview.printReport();
    }

    static void saveFromPreview(PreviewWindow &preview, const QString &path)
    {
        PreviewDialogs dialogs = cancellingDialogs();
        dialogs.saveFileName = [path](QWidget *, QString *) { return path; };
        preview.setDialogs(dialogs);
        preview.saveReport();
    }

    // Rate 3 stored by Gravar, base date today, and the lines (value, days after the base date).
    static TCHEQ &startCalculation(WindowFixture &f, const QList<QPair<double, int>> &lines)
    {
        TCHEQ &w = f.start();
        w.TAXA->setMaskedText(QStringLiteral("  3.00"));
        w.LEMBRETE->setText(QStringLiteral("CLIENTE"));
        w.BT1Click();
        for (const auto &[valor, days] : lines)
            addLine(w, valor, days);
        f.boxes.clear();
        return w;
    }

    static void addLine(TCHEQ &w, double valor, int days)
    {
        w.Table2.append();
        w.Table2.fieldByName(QStringLiteral("VALOR")).setAsFloat(valor);
        w.Table2.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(kToday) + days);
        w.Table2.post();
    }

    static bool formGone(TCHEQ &w)
    {
        if (w.reportForm() || !w.findChildren<TIMP *>().isEmpty())
            return false;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (qobject_cast<PreviewWindow *>(top))
                return false;
        return true;
    }

    static int count(const QString &text, const QString &pattern)
    {
        return int(text.count(QRegularExpression(pattern)));
    }

private slots:
    void initTestCase()
    {
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        QVERIFY2(HavePoppler(), "pdftotext and pdfinfo (poppler-utils) are needed");
    }
    void init() { setTodayForTesting(kToday); }
    void cleanup() { setTodayForTesting(std::nullopt); }

    void pendingHeaderGivesOnlyTheMessage_data()
    {
        QTest::addColumn<bool>("saveFirst");
        QTest::newRow("unsaved new header") << false;
        QTest::newRow("changed header") << true;
    }

    void pendingHeaderGivesOnlyTheMessage()
    {
        QFETCH(bool, saveFirst);
        WindowFixture f;
        TCHEQ &w = f.start();
        if (saveFirst) {
            w.BT1Click();
            addLine(w, 600, 45);
            w.LEMBRETE->setText(QStringLiteral("OUTRO")); // a header change
        }
        QVERIFY(w.headerPending());
        f.boxes.clear();
        QCOMPARE(clickPrint(w), 0);
        QCOMPARE(f.boxes, QStringList{QStringLiteral("info: Grave o cabeçário primeiro.")});
        QVERIFY(formGone(w));
    }

    void openFailureShowsTheErrorBox_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: the line table is missing
        QTest::newRow("line table missing") << QByteArray();
        QTest::newRow("line table damaged") << QByteArray("not a table at all");
    }

    void openFailureShowsTheErrorBox()
    {
        QFETCH(QByteArray, content);
        WindowFixture f;
        TCHEQ &w = startCalculation(f, {{600, 45}});
        const QString path = QDir(f.dataFolder()).filePath(QStringLiteral("Aux_Jur1.db"));
        QVERIFY(QFile::remove(path));
        if (!content.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        QCOMPARE(clickPrint(w), 0);
        QCOMPARE(f.boxes.size(), 1);
        QVERIFY2(f.boxes.first().startsWith(QStringLiteral("error: ")),
                 qPrintable(f.boxes.first()));
        QVERIFY(formGone(w));
        // The main window is unaffected.
        QVERIFY(w.Table2.active());
        QCOMPARE(w.Table2.recordCount(), 1);
        QVERIFY(w.isVisible());
    }

    // Rate 3, one line of 600.00 dated 45 days after the base date.
    void previewPrintsTheCalculation_data()
    {
        QTest::addColumn<bool>("simples");
        QTest::addColumn<QString>("juros");
        QTest::addColumn<QString>("valorDesc");
        QTest::addColumn<QString>("letter");
        QTest::newRow("simple") << true << "27,00"
                                << "573,00"
                                << "S";
        QTest::newRow("compound") << false << "27,27"
                                  << "572,73"
                                  << "C";
    }

    void previewPrintsTheCalculation()
    {
        QFETCH(bool, simples);
        QFETCH(QString, juros);
        QFETCH(QString, valorDesc);
        QFETCH(QString, letter);
        WindowFixture f;
        TCHEQ &w = startCalculation(f, {{600, 45}});
        (simples ? w.RadioButton1 : w.RadioButton2)->setChecked(true);
        const QString pdf = QDir(f.workFolder()).filePath(QStringLiteral("report.pdf"));

        TIMP *form = nullptr;
        const int opened = clickPrint(w, [&](PreviewWindow &preview) {
            form = w.reportForm();
            QVERIFY(form);
            QCOMPARE(form->parent(), &w);
            // The view: on the data folder, the current header's lines in order of entry.
            QVERIFY(form->Table2.active());
            QCOMPARE(QDir(form->Table2.databaseName()), QDir(f.dataFolder()));
            QCOMPARE(form->Table2.recordCount(), 1);
            QCOMPARE(form->Table2.fieldByName(QStringLiteral("DIAS")).asString(), "45");
            QCOMPARE(form->QuickRep1.previewWindow(), &preview);
            QCOMPARE(preview.windowTitle(), QStringLiteral("Previsão de Relatório"));
            QVERIFY(preview.isMaximized());
            QVERIFY(!(preview.windowFlags() & Qt::WindowStaysOnTopHint));
            QVERIFY(!preview.isModal());
            QCOMPARE(preview.pageCount(), 1);
            printFromPreview(preview, pdf);
        });
        QCOMPARE(opened, 1);
        QVERIFY(form);
        QVERIFY(formGone(w));
        QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));

        const QString text = PdfText(pdf);
        QVERIFY2(count(text, "SIMULAÇÃO DE VENDA") == 1, qPrintable(text));
        QVERIFY2(count(text, "CLIENTE") == 1, qPrintable(text));
        QVERIFY2(count(text, "DATA:\\s+05/03/2024\\s+" + letter + "\\n") == 1, qPrintable(text));
        QVERIFY2(count(text, "DATA BASE:\\s+05/03/2024\\s+TAXA:\\s+3,00\\s*%") == 1,
                 qPrintable(text));
        QVERIFY2(count(text, "600,00\\s+19/04/2024\\s+45\\s+" + juros + "\\s+" + valorDesc) == 1,
                 qPrintable(text));
        QVERIFY2(count(text, "\\n\\s*600,00\\s+" + juros + "\\s+" + valorDesc + "\\s*\\n") == 1,
                 qPrintable(text));
        QVERIFY2(count(text, "Pág.\\s*1(?!\\d)") == 1, qPrintable(text));
        QCOMPARE(PdfInfo(pdf, "Title"), QStringLiteral("Previsão de Relatório"));
    }

    // The preview shows the pages made when it opened; printing makes them again from what the
    // main window holds at that moment (it stays usable meanwhile).
    void printingFollowsTheMainWindow()
    {
        WindowFixture f;
        TCHEQ &w = startCalculation(f, {{600, 45}});
        const QString shown = QDir(f.workFolder()).filePath(QStringLiteral("shown.pdf"));
        const QString printed = QDir(f.workFolder()).filePath(QStringLiteral("printed.pdf"));
        const QString shownAfter = QDir(f.workFolder()).filePath(QStringLiteral("after.pdf"));

        clickPrint(w, [&](PreviewWindow &preview) {
            saveFromPreview(preview, shown);

            QTest::mouseClick(w.RadioButton2, Qt::LeftButton);
            QVERIFY(w.RadioButton2->isChecked());
            QCOMPARE(w.lJUROS->text(), QStringLiteral("27,27"));
            addLine(w, 1000, 30);

            printFromPreview(preview, printed);
            saveFromPreview(preview, shownAfter);
        });
        QVERIFY(formGone(w));
        QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));

        for (const QString &pdf : {shown, shownAfter}) {
            const QString text = PdfText(pdf);
            QVERIFY2(count(text, "DATA:\\s+05/03/2024\\s+S\\n") == 1, qPrintable(text));
            QVERIFY2(count(text, "600,00\\s+19/04/2024\\s+45\\s+27,00\\s+573,00") == 1,
                     qPrintable(text));
            QVERIFY2(!text.contains("1.000,00"), qPrintable(text));
        }
        const QString text = PdfText(printed);
        QVERIFY2(count(text, "DATA:\\s+05/03/2024\\s+C\\n") == 1, qPrintable(text));
        QVERIFY2(count(text, "600,00\\s+19/04/2024\\s+45\\s+27,27\\s+572,73") == 1,
                 qPrintable(text));
        QVERIFY2(count(text, "1.000,00\\s+04/04/2024\\s+30\\s+30,00\\s+970,00") == 1,
                 qPrintable(text));
        QVERIFY2(count(text, "\\n\\s*1.600,00\\s+57,27\\s+1.542,73\\s*\\n") == 1, qPrintable(text));
    }

    void secondClickStartsNoSecondReport()
    {
        WindowFixture f;
        TCHEQ &w = startCalculation(f, {{600, 45}});
        TIMP *first = nullptr;
        int previews = 0;
        const int opened = clickPrint(w, [&](PreviewWindow &preview) {
            first = w.reportForm();
            // The user goes back to the main window and clicks Imprimir again.
            w.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(&w));
            QTest::mouseClick(w.BitBtn2, Qt::LeftButton, {}, w.BitBtn2->rect().center());
            QCOMPARE(w.reportForm(), first);
            QCOMPARE(w.findChildren<TIMP *>().size(), 1);
            for (QWidget *top : QApplication::topLevelWidgets())
                previews += qobject_cast<PreviewWindow *>(top) && top->isVisible() ? 1 : 0;
            QVERIFY(preview.isVisible());
            // ... which brings the open preview forward.
            QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(&preview));
        });
        QCOMPARE(opened, 1);
        QVERIFY(first);
        QCOMPARE(previews, 1);
        QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));
        QVERIFY(formGone(w));
        // And the next click after the preview has closed starts a new report.
        QCOMPARE(clickPrint(w), 1);
        QVERIFY(formGone(w));
    }

    void escapeClosesThePreview()
    {
        WindowFixture f;
        TCHEQ &w = startCalculation(f, {});
        bool closedByEscape = false;
        const int opened = clickPrint(w, [&](PreviewWindow &preview) {
            QApplication::setActiveWindow(&preview);
            QVERIFY(QTest::qWaitForWindowActive(&preview, 2000));
            QTest::keyClick(&preview, Qt::Key_Escape);
            closedByEscape = !preview.isVisible();
        });
        QCOMPARE(opened, 1);
        QVERIFY(closedByEscape);
        QVERIFY(formGone(w));
    }

    // Closing the main window while its preview is open closes the preview too, and the print
    // command ends with its form gone and both tables closed.
    void closingTheWindowClosesThePreview()
    {
        WindowFixture f;
        TCHEQ &w = startCalculation(f, {});
        bool previewClosed = false;
        const int opened = clickPrint(w, [&](PreviewWindow &preview) {
            w.close();
            previewClosed = !preview.isVisible();
        });
        QCOMPARE(opened, 1);
        QVERIFY(previewClosed);
        QVERIFY(!w.isVisible());
        QVERIFY(formGone(w));
        QVERIFY(!w.Table1.active());
        QVERIFY(!w.Table2.active());
        QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));
    }
};

const QDate TestPrint::kToday(2024, 3, 5);

CHEQUES_APP_TEST_MAIN(TestPrint)
#include "tst_print.moc"
