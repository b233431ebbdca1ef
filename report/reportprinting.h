// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QVector>

class QPagedPaintDevice;
class QPrinter;
class ReportPages;

// The pages a printer asks for, in the order they go out, as indexes from 0: the page range
// of the print dialog (all pages when none), last page first when so set, and the copies when
// the printer leaves them to us (collated or page by page).
QVector<int> PrintOrder(const QPrinter &printer, int pageCount);

// Paints the listed pages onto the device, one sheet each, scaled to its resolution.
// Throws Error when the device cannot be opened for painting.
void PaintPages(const ReportPages &pages, QPagedPaintDevice &device, const QVector<int> &order);

// Sets the printer up for these pages: paper of their size, positions from the paper's corner,
// the document name of the job.
void PreparePrinter(QPrinter &printer, const ReportPages &pages, const QString &documentName);

// Prints on a prepared printer, honouring its page range and copies.
void PrintPages(const ReportPages &pages, QPrinter &printer);

// Writes all pages as a PDF titled `title`; an existing file is replaced only when the new one
// is complete. Throws Error on failure.
void WritePdf(const ReportPages &pages, const QString &path, const QString &title);
