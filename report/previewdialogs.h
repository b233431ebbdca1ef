// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QWidget;

// The dialogs the preview window asks, replaceable so that tests never wait on a real one.
struct PreviewDialogs {
    // The system's print dialog: printer, copies, page range. True when the user prints.
    std::function<bool(QPrinter &printer, int pageCount, QWidget *parent)> print;
    // Printer setup: paper, orientation and the like. True when accepted.
    std::function<bool(QPrinter &printer, QWidget *parent)> pageSetup;
    // The file to save to and the filter the user picked; an empty path cancels.
    std::function<QString(QWidget *parent, QString *selectedFilter)> saveFileName;
    // The report file to open; an empty path cancels.
    std::function<QString(QWidget *parent)> openFileName;

    static PreviewDialogs standard();

    static const QString kReportFilter; // "Relatório (*.rel)"
    static const QString kPdfFilter;    // "Documento PDF (*.pdf)"
};
