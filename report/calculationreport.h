// SPDX-License-Identifier: MIT
#pragma once

#include "report/calculationheader.h"
#include "report/laidoutreport.h"
#include "report/reportdefinition.h"
#include "report/reportlayout.h"

#include <QPointer>
#include <memory>

class PreviewWindow;
class QWidget;

// The calculation report QuickRep1, headed "SIMULAÇÃO DE VENDA": the header values on top,
// one row per cheque line of `lines` (fields VALOR, DATA, DIAS, JUROS, VALORDESC, values
// already calculated), the three totals at the end and the page number at every foot.
class CalculationReport
{
public:
    static const QString kName;          // "QuickRep1"
    static const QString kHeaderDataSet; // "Table1": the name the header fields are read under

    CalculationReport(ReportDataSet &lines, const CalculationHeader &header);
    ~CalculationReport();
    CalculationReport(const CalculationReport &) = delete;
    CalculationReport &operator=(const CalculationReport &) = delete;

    // The bands and elements, bound to the lines, the header and the title band hook.
    ReportDefinition QuickRep1();

    // Lays the report out afresh: every value is read from the lines and the header now.
    LaidOutReport generate(const LayoutContext &context = CurrentLayoutContext());

    // Shows the report in the preview window and returns when the user has closed it. Printing
    // from the preview generates the report again.
    void preview(QWidget *parent = nullptr);
    // The preview window while preview() waits for it, else null.
    PreviewWindow *previewWindow() const;

    // The title band hook: the interest-mode letter, "S" for simple and "C" for compound.
    void QRBand1BeforePrint(ReportBand &band) const;

private:
    class HeaderDataSet;

    ReportDataSet &m_lines;
    const CalculationHeader &m_header;
    std::unique_ptr<HeaderDataSet> m_headerDataSet;
    QPointer<PreviewWindow> m_previewWindow;
};
