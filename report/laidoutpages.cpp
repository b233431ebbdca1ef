// SPDX-License-Identifier: MIT
#include "report/laidoutpages.h"

#include "report/reportfonts.h"
#include "report/reportunits.h"

#include <QPainter>
#include <QPen>

namespace {

// A rule is as thin as one screen pixel of the designer: 0.26 mm.
constexpr double kRuleWidthMm = 0.26;

const QColor kGrey(128, 128, 128);

QPen penFor(RuleStyle style)
{
    QPen pen(style == RuleStyle::DashDotBlack ? QColor(Qt::black) : kGrey);
    pen.setWidthF(MmToUnits(kRuleWidthMm));
    pen.setStyle(style == RuleStyle::DashDotBlack ? Qt::DashDotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

int flagsFor(TextAlignment alignment)
{
    int flags = Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    switch (alignment) {
    case TextAlignment::Left:
        return flags | Qt::AlignLeft;
    case TextAlignment::Right:
        return flags | Qt::AlignRight;
    case TextAlignment::Centre:
        return flags | Qt::AlignHCenter;
    }
    return flags;
}

} // namespace

void LaidOutPages::paintPage(QPainter &painter, int index) const
{
    if (index < 0 || index >= m_report.pages.size())
        return;
    const LaidOutPage &page = m_report.pages[index];
    painter.save();
    for (const LaidOutLine &line : page.lines) {
        painter.setPen(penFor(line.style));
        painter.drawLine(MmToUnits(line.from), MmToUnits(line.to));
    }
    painter.setPen(Qt::black);
    for (const LaidOutText &item : page.texts) {
        if (item.text.isEmpty())
            continue;
        painter.setFont(ReportQFont(item.font));
        painter.drawText(MmToUnits(item.rect), flagsFor(item.alignment), item.text);
    }
    painter.restore();
}
