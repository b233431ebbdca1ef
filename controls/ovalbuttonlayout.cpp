// SPDX-License-Identifier: MIT
#include "controls/ovalbuttonlayout.h"

namespace
{
int half(int v)
{
    return v / 2;
}
} // namespace

QRect OvalButtonLayout::glyphRect() const
{
    const int w = button.width(), h = button.height();
    const int gw = glyph.width(), gh = glyph.height();
    const int tw = caption.width(), th = caption.height();

    int gx = half(w - gw);
    if (hasCaption && layout == blGlyphLeft)
        gx = half(w - (tw + spacing + gw)) - margin;
    else if (hasCaption && layout == blGlyphRight)
        gx = half(tw + spacing + gw + w) - gw + margin;

    int gy = half(h - gh);
    if (hasCaption && layout == blGlyphTop)
        gy = half(h - (th + gh + spacing)) - margin;
    else if (hasCaption && layout == blGlyphBottom)
        gy = half(th + gh + spacing + h) - gh + margin;

    QRect rect(gx, gy, gw, gh);
    if (sunken)
        rect.translate(1, 1);
    return rect;
}

QPoint OvalButtonLayout::captionPos() const
{
    const int tw = caption.width(), th = caption.height();
    int tx = half(button.width() - tw);
    int ty = half(button.height() - th);
    if (hasGlyph) {
        const QRect g = glyphRect();
        if (layout == blGlyphRight)
            tx = g.x() - tw - spacing;
        else if (layout == blGlyphLeft)
            tx = g.x() + g.width() + spacing;
        if (layout == blGlyphTop)
            ty = g.y() + g.height() + spacing;
        else if (layout == blGlyphBottom)
            ty = g.y() - th - spacing;
    }
    if (sunken)
        return {tx + 1, ty + 1};
    return {tx, ty};
}
