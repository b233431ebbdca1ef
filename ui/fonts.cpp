// SPDX-License-Identifier: MIT
#include "ui/fonts.h"

QString SubstituteFamily(const QString &family)
{
    struct Row {
        const char *from;
        const char *to;
    };
    static const Row rows[] = {
        {"Arial", "Liberation Sans"},     {"Times New Roman", "Liberation Serif"},
        {"MS Serif", "Liberation Serif"}, {"MS Sans Serif", "Liberation Sans"},
        {"System", "Liberation Sans"},    {"Verdana", "DejaVu Sans"},
    };
    for (const Row &row : rows)
        if (family.compare(QLatin1String(row.from), Qt::CaseInsensitive) == 0)
            return QLatin1String(row.to);
    return family;
}

QFont MakeFont(const FontSpec &look)
{
    QFont font(SubstituteFamily(QLatin1String(look.family ? look.family : "System")));
    font.setPixelSize(look.pixelSize > 0 ? look.pixelSize : 11);
    font.setBold(look.bold);
    font.setUnderline(look.underline);
    // Text as Windows draws it in its windows and dialogs: each character's glyph at its own
    // advance, without kerning or ligatures. It is the look the layout was made with, and
    // laying text out this way costs a fraction of shaping it. Scripts that need shaping still
    // get it.
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    // Glyphs drawn at their design outlines, not fitted to the pixel grid, and laid out at their
    // design advances: every text has the same width and place whatever hinting the system is
    // set to, and at these sizes, smoothed, it looks as fitted text does. Fitting is what costs:
    // the auto-hinter analyses each face and every glyph the first time it is shown, a large
    // share of what the window's text costs at start-up.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}
