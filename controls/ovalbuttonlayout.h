// SPDX-License-Identifier: MIT
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Where an oval button's glyph stands relative to its caption.
enum TButtonLayout : int {
    blGlyphBottom = 0,
    blGlyphLeft = 1,
    blGlyphRight = 2,
    blGlyphTop = 3,
};

// The placement of glyph and caption on an oval button's face, worked out from the sizes alone
// so that the paint code only draws. Halves are integer divisions; content larger than the
// button gives negative differences, which are halved the same way (toward zero).
struct OvalButtonLayout {
    QSize button;            // Width, Height
    bool hasGlyph = false;   // NumGlyphs > 0
    QSize glyph;             // gw, gh: the size of one cell
    bool hasCaption = false; // the caption is not empty
    QSize caption;           // tw, th: the caption as stored, ampersands counted
    TButtonLayout layout = blGlyphBottom;
    int spacing = 4;
    int margin = 0;
    bool sunken = false; // the pressed look moves glyph and caption

    // The glyph's rectangle, already moved one pixel right and down when sunken.
    QRect glyphRect() const;
    // The top-left corner of the caption text.
    QPoint captionPos() const;
};
