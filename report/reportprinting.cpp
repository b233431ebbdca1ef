// SPDX-License-Identifier: MIT
#include "report/reportprinting.h"

#include "core/errors.h"
#include "report/reportpages.h"
#include "report/reportunits.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

namespace
{

// Any resolution gives the same PDF; this one keeps rounding inside the engine negligible.
constexpr int kPdfResolution = 1200;

QPageSize pageSizeOf(const ReportPages &pages)
{
    return QPageSize(pages.pageSize(), QPageSize::Millimeter);
}

QString printerDescription(const QPrinter &printer)
{
    if (!printer.outputFileName().isEmpty())
        return printer.outputFileName();
    return printer.printerName();
}

} // namespace

QVector<int> PrintOrder(const QPrinter &printer, int pageCount)
{
    int from = 1, to = pageCount;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        from = std::max(1, printer.fromPage());
        to = std::min(pageCount, printer.toPage() > 0 ? printer.toPage() : pageCount);
    }
    QVector<int> range;
    for (int page = from; page <= to; ++page)
        range.append(page - 1);
    if (printer.pageOrder() == QPrinter::LastPageFirst)
        std::reverse(range.begin(), range.end());

    // A printer that makes its own copies gets each page once.
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    QVector<int> order;
    if (printer.collateCopies()) {
        for (int c = 0; c < copies; ++c)
            order += range;
    } else {
        for (int page : range)
            for (int c = 0; c < copies; ++c)
                order.append(page);
    }
    return order;
}

void PaintPages(const ReportPages &pages, QPagedPaintDevice &device, const QVector<int> &order)
{
    QPainter painter;
    if (!painter.begin(&device))
        throw Error(QStringLiteral("Não foi possível iniciar a impressão."));
    const double sx = device.logicalDpiX() / (kMmPerInch * kReportUnitsPerMm);
    const double sy = device.logicalDpiY() / (kMmPerInch * kReportUnitsPerMm);
    bool firstSheet = true;
    for (int index : order) {
        if (!firstSheet && !device.newPage()) {
            painter.end();
            throw Error(QStringLiteral("Não foi possível passar à página seguinte da impressão."));
        }
        firstSheet = false;
        painter.save();
        painter.scale(sx, sy);
        pages.paintPage(painter, index);
        painter.restore();
    }
    if (!painter.end())
        throw Error(QStringLiteral("Não foi possível concluir a impressão."));
}

void PreparePrinter(QPrinter &printer, const ReportPages &pages, const QString &documentName)
{
    printer.setDocName(documentName);
    printer.setPageSize(pageSizeOf(pages));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
}

void PrintPages(const ReportPages &pages, QPrinter &printer)
{
    if (pages.requiredResolution() > 0 && printer.resolution() != pages.requiredResolution())
        printer.setResolution(pages.requiredResolution());
    const QVector<int> order = PrintOrder(printer, pages.pageCount());
    if (order.isEmpty())
        return;
    try {
        PaintPages(pages, printer, order);
    } catch (const Error &) {
        throw Error(QStringLiteral("Não foi possível imprimir em \"%1\".")
                        .arg(printerDescription(printer)));
    }
}

void WritePdf(const ReportPages &pages, const QString &path, const QString &title)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw Error(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.")
                        .arg(path, file.errorString()));
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Cheques"));
        writer.setResolution(pages.requiredResolution() > 0 ? pages.requiredResolution()
                                                            : kPdfResolution);
        writer.setPageSize(pageSizeOf(pages));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QVector<int> all;
        for (int i = 0; i < pages.pageCount(); ++i)
            all.append(i);
        PaintPages(pages, writer, all);
    }
    if (!file.commit())
        throw Error(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.")
                        .arg(path, file.errorString()));
}
