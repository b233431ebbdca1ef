// SPDX-License-Identifier: MIT
#include "report/reportlayout.h"

#include "core/clock.h"
#include "core/dates.h"
#include "core/errors.h"
#include "report/reportfonts.h"

#include <QHash>

namespace
{

// Room for the rounding of millimetre sums, far below anything printed.
constexpr double kFitTolerance = 1e-6;

bool isEmptyValue(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

class Layouter
{
public:
    Layouter(const ReportDefinition &report, const LayoutContext &context)
        : m_report(report), m_context(context), m_title(report.band(BandKind::Title)),
          m_header(report.band(BandKind::ColumnHeader)), m_detail(report.band(BandKind::Detail)),
          m_summary(report.band(BandKind::Summary)), m_footer(report.band(BandKind::PageFooter))
    {
        m_result.pageSize = {report.page.width, report.page.height};
        const double footerHeight = m_footer ? m_footer->height : 0;
        m_bodyLimit = report.page.height - report.page.bottomMargin - footerHeight;
        for (const ReportBand &band : report.bands)
            for (const ReportElement &e : band.elements)
                if (e.kind == ElementKind::Sum)
                    m_sums.insert(e.text.toUpper(), 0.0L);
    }

    LaidOutReport run()
    {
        ReportDataSet *rows = m_report.dataSet;
        if (rows)
            rows->first();
        const bool empty = !rows || rows->eof();
        if (empty && !m_report.printIfEmpty)
            return m_result;

        startPage();
        if (rows) {
            for (; !rows->eof(); rows->next()) {
                if (m_detail) {
                    breakPageFor(m_detail->height);
                    place(*m_detail);
                }
                addRowToSums(*rows);
            }
        }
        if (m_summary) {
            breakPageFor(m_summary->height);
            place(*m_summary);
        }
        finishPage();
        return m_result;
    }

private:
    void startPage()
    {
        m_result.pages.append(LaidOutPage{});
        m_y = m_report.page.topMargin;
        if (m_result.pages.size() == 1 && m_title)
            place(*m_title);
        if (m_header)
            place(*m_header);
        m_bodyStart = m_y;
    }

    void finishPage()
    {
        if (m_footer) {
            m_y = m_bodyLimit;
            place(*m_footer);
        }
    }

    // A band that does not fit below what the page holds goes to the next page; one that would
    // not fit on any page prints where it is rather than loop for ever.
    void breakPageFor(double height)
    {
        if (m_y + height <= m_bodyLimit + kFitTolerance || m_y <= m_bodyStart)
            return;
        finishPage();
        startPage();
    }

    void place(const ReportBand &definition)
    {
        ReportBand band = definition; // the hook changes this print only
        if (band.beforePrint)
            band.beforePrint(band);

        const PageSettings &page = m_report.page;
        LaidOutPage &out = m_result.pages.last();
        const double top = m_y;
        out.bands.append(
            {band.name, band.kind, QRectF(page.leftMargin, top, page.bandWidth(), band.height)});
        for (const ReportElement &e : band.elements) {
            if (!e.enabled)
                continue;
            LaidOutText item;
            item.element = e.name;
            item.text = textOf(e);
            item.font = e.font.value_or(m_report.font);
            const double width = e.sizedToText ? TextWidthMm(item.text, item.font) : e.width;
            const double left = e.centredOnBand ? (page.bandWidth() - width) / 2 : e.left;
            item.rect = QRectF(page.leftMargin + left, top + e.top, width, e.height);
            item.alignment = e.centredOnBand ? TextAlignment::Centre : e.alignment;
            out.texts.append(item);
        }
        for (const BandRule &rule : band.rules) {
            const double y = rule.edge == RuleEdge::Top ? top : top + band.height;
            out.lines.append({QPointF(page.leftMargin, y),
                              QPointF(page.leftMargin + page.bandWidth(), y), rule.style});
        }
        m_y = top + band.height;
    }

    ReportDataSet *dataSetOf(const ReportElement &e) const
    {
        if (e.dataSet.isEmpty())
            return m_report.dataSet;
        ReportDataSet *set = m_report.dataSets.value(e.dataSet);
        if (!set)
            throw Error(QStringLiteral("O elemento %1 do relatório lê o conjunto de dados "
                                       "desconhecido %2.")
                            .arg(e.name, e.dataSet));
        return set;
    }

    QString textOf(const ReportElement &e) const
    {
        switch (e.kind) {
        case ElementKind::Text:
            return e.text;
        case ElementKind::DataField:
            return fieldText(e);
        case ElementKind::SystemDate:
            return ShortDateText(m_context.today);
        case ElementKind::PageNumber:
            return QString::number(m_result.pages.size());
        case ElementKind::Sum:
            return numberText(e.mask, double(m_sums.value(e.text.toUpper())));
        }
        return {};
    }

    QString fieldText(const ReportElement &e) const
    {
        const ReportDataSet *set = dataSetOf(e);
        if (!set || set->eof())
            return {};
        if (e.mask.isEmpty())
            return set->text(e.text);
        const QVariant v = set->value(e.text);
        if (isEmptyValue(v))
            return {};
        bool ok = false;
        const double number = v.toDouble(&ok);
        return ok ? numberText(e.mask, number) : set->text(e.text);
    }

    QString numberText(const QString &mask, double value) const
    {
        if (mask.isEmpty())
            return QString::number(value, 'g', 15);
        return FormatFloat(mask, value, m_context.separators);
    }

    void addRowToSums(const ReportDataSet &rows)
    {
        for (auto it = m_sums.begin(); it != m_sums.end(); ++it) {
            const QVariant v = rows.value(it.key());
            bool ok = false;
            const double number = isEmptyValue(v) ? 0.0 : v.toDouble(&ok);
            if (ok)
                it.value() += number;
        }
    }

    const ReportDefinition &m_report;
    const LayoutContext &m_context;
    const ReportBand *m_title;
    const ReportBand *m_header;
    const ReportBand *m_detail;
    const ReportBand *m_summary;
    const ReportBand *m_footer;
    LaidOutReport m_result;
    QHash<QString, long double> m_sums; // upper-case field name -> running total
    double m_y = 0;
    double m_bodyStart = 0;
    double m_bodyLimit = 0;
};

} // namespace

LayoutContext CurrentLayoutContext()
{
    return {Today(), SystemSeparators()};
}

LaidOutReport LayOutReport(const ReportDefinition &report, const LayoutContext &context)
{
    return Layouter(report, context).run();
}
