// SPDX-License-Identifier: MIT
#include "report/laidoutpages.h"

#include "report/reportfonts.h"
#include "report/reportunits.h"

#include <QGlyphRun>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <vector>

namespace
{

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

// The texts of one page in one font, gathered into a single glyph run: on a PDF or a printer
// this spares the text layout that drawText does for every item and the device's setup of each
// text, which is most of the time a long report takes. The glyphs keep the font's kerning.
struct GlyphBatch {
    ReportFont font;
    QRawFont raw;
    QList<quint32> glyphs;
    QList<QPointF> positions; // report units, baseline points from the paper's corner

    // Adds `item`; false when the font lacks one of its characters (drawText's font fallback
    // has to draw it then).
    bool add(const LaidOutText &item)
    {
        const QList<quint32> itemGlyphs = raw.glyphIndexesForString(item.text);
        if (itemGlyphs.isEmpty() || itemGlyphs.contains(0))
            return false;
        const QList<QPointF> advances =
            raw.advancesForGlyphIndexes(itemGlyphs, QRawFont::KernedAdvances);
        double width = 0;
        for (const QPointF &advance : advances)
            width += advance.x();
        const QRectF rect = MmToUnits(item.rect);
        double x = rect.left();
        if (item.alignment == TextAlignment::Right)
            x = rect.right() - width;
        else if (item.alignment == TextAlignment::Centre)
            x = rect.left() + (rect.width() - width) / 2;
        // The text hangs from the top. Glyphs sit on whole report units (0.01 mm, far below any
        // printer's dot), which keeps the device's output short.
        const double baseline = std::round(rect.top() + raw.ascent());
        glyphs += itemGlyphs;
        for (const QPointF &advance : advances) {
            positions.append(QPointF(std::round(x), baseline));
            x += advance.x();
        }
        return true;
    }

    void draw(QPainter &painter) const
    {
        if (glyphs.isEmpty())
            return;
        QGlyphRun run;
        run.setRawFont(raw);
        run.setGlyphIndexes(glyphs);
        run.setPositions(positions);
        painter.drawGlyphRun(QPointF(0, 0), run);
    }
};

void drawText(QPainter &painter, const LaidOutText &item)
{
    painter.setFont(ReportQFont(item.font));
    painter.drawText(MmToUnits(item.rect), flagsFor(item.alignment), item.text);
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
    // A picture (a report file, the preview's pages) keeps text as text only from drawText.
    if (painter.paintEngine()->type() == QPaintEngine::Picture) {
        for (const LaidOutText &item : page.texts)
            if (!item.text.isEmpty())
                drawText(painter, item);
        painter.restore();
        return;
    }
    std::vector<GlyphBatch> batches; // one per font, in order of first use
    for (const LaidOutText &item : page.texts) {
        if (item.text.isEmpty())
            continue;
        auto batch = std::find_if(batches.begin(), batches.end(),
                                  [&](const GlyphBatch &b) { return b.font == item.font; });
        if (batch == batches.end())
            batch = batches.insert(batches.end(), {item.font, ReportRawFont(item.font), {}, {}});
        if (!batch->add(item))
            drawText(painter, item);
    }
    for (const GlyphBatch &batch : batches)
        batch.draw(painter);
    painter.restore();
}
