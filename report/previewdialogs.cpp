// SPDX-License-Identifier: MIT
#include "report/previewdialogs.h"

#include <QFileDialog>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

const QString PreviewDialogs::kReportFilter = QStringLiteral("Relatório (*.rel)");
const QString PreviewDialogs::kPdfFilter = QStringLiteral("Documento PDF (*.pdf)");

PreviewDialogs PreviewDialogs::standard()
{
    PreviewDialogs d;
    d.print = [](QPrinter &printer, int pageCount, QWidget *parent) {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, std::max(1, pageCount));
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        return dialog.exec() == QDialog::Accepted;
    };
    d.pageSetup = [](QPrinter &printer, QWidget *parent) {
        QPageSetupDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    };
    d.saveFileName = [](QWidget *parent, QString *selectedFilter) {
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Salvar relatório"), QString(),
                                            kReportFilter + QStringLiteral(";;") + kPdfFilter,
                                            selectedFilter);
    };
    d.openFileName = [](QWidget *parent) {
        return QFileDialog::getOpenFileName(parent, QStringLiteral("Abrir relatório"), QString(),
                                            kReportFilter +
                                                QStringLiteral(";;Todos os arquivos (*)"));
    };
    return d;
}
