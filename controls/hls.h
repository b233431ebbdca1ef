// SPDX-License-Identifier: MIT
#pragma once

#include "core/errors.h"

#include <QColor>
#include <array>

// A colour as three components, each 0..1: R, G, B for an RGB triple, H, L, S for an HLS
// triple. H is the hue as a fraction of a full turn (0 red, 1/3 green, 2/3 blue, 1 red again).
using ColorTriple = std::array<double, 3>;

// A component outside 0..1 (or not a number) given to RGB2HLS or HLS2RGB.
class EColorConv : public Error
{
public:
    using Error::Error;
};

// The two conversions. Both check their input first and throw EColorConv naming the first bad
// component; nothing is written to the output then. Input and output may be the same triple.
void RGB2HLS(const ColorTriple &rgb, ColorTriple &hls);
void HLS2RGB(const ColorTriple &hls, ColorTriple &rgb);

// The bevel colours of a surface colour: a lighter highlight and a darker shadow, both plain
// RGB colours. A palette colour (the button face, say) is resolved by the caller: the shades
// belong to the RGB value at the moment of the call.
struct ColorShadePair {
    QColor highlight;
    QColor shadow;
};
ColorShadePair ColorShades(const QColor &color, float lightFactor, float darkFactor);
