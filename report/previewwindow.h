// SPDX-License-Identifier: MIT
#pragma once

#include "report/laidoutreport.h"
#include "report/previewdialogs.h"
#include "report/reportpages.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;
class QSpinBox;

// The report preview: a normal window (not modal, not on top) that opens maximized and shows
// the pages, with zoom, page navigation, printer setup, printing, "Frente e Verso", saving
// (report file or PDF), opening a saved report and closing by Escape.
//
// The pages are generated once when the window opens. Printing generates the report again so
// that the paper shows the data as it is at that moment; a report opened from a file prints
// as it was saved.
class PreviewWindow : public QMainWindow
{
    Q_OBJECT
public:
    using Generator = std::function<LaidOutReport()>;

    static const QString kCaption; // "Previsão de Relatório": the caption and the job's name

    // Generates the first pages at once; an error of the generator leaves no window.
    explicit PreviewWindow(Generator generate, QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Shows the window maximized and returns when it has been closed; every other window keeps
    // working meanwhile (a nested event loop).
    void exec();
    // A preview of `generate` shown with exec() and destroyed afterwards; `shown`, when given,
    // points at the window while it is open.
    static void showAndWait(Generator generate, QWidget *parent = nullptr,
                            QPointer<PreviewWindow> *shown = nullptr);
    // Called with each window as exec() shows it, so tests can reach it (an empty one stops).
    static void setOpenedHookForTesting(std::function<void(PreviewWindow &)> hook);

    void setDialogs(PreviewDialogs dialogs); // entries left empty keep the standard dialogs

    const ReportPages &pages() const { return *m_pages; }
    bool pagesFromFile() const { return m_pagesFromFile; }
    int pageCount() const;
    int currentPage() const; // from 1
    QPrinter &printer() { return *m_printer; }
    QPrintPreviewWidget *previewWidget() const { return m_preview; }

public slots:
    void zoomWholePage();
    void zoomActualSize();
    void zoomPageWidth();
    void firstPage();
    void previousPage();
    void nextPage();
    void lastPage();
    void goToPage(int page);
    void setupPrinter();
    void printReport();
    void setDoubleSided(bool on);
    void saveReport();
    void openReport();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildToolBar();
    void showPages(std::unique_ptr<ReportPages> pages, bool fromFile);
    void paintPreview(QPrinter *printer);
    void updatePageBox();
    template <typename Operation> void guarded(Operation operation);

    Generator m_generate;
    std::unique_ptr<ReportPages> m_pages;
    bool m_pagesFromFile = false;
    std::unique_ptr<QPrinter> m_previewPrinter; // always all pages, never printed on
    std::unique_ptr<QPrinter> m_printer;        // the user's printer settings
    PreviewDialogs m_dialogs;
    QPrintPreviewWidget *m_preview = nullptr;
    QSpinBox *m_pageBox = nullptr;
    QLabel *m_pageCountLabel = nullptr;
    QCheckBox *m_duplexBox = nullptr;
};
