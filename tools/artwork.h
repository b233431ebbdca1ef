// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// The program's pictures, drawn by our own code so that the build needs no binary art. The build
// writes the background as fundo.bmp and stores the logo and the glyphs in the program
// (ui/pictures.h). Each glyph keeps the bottom-left colour its button takes as transparent.
namespace Artwork
{
QImage Background();    // fundo.bmp: 517 x 531
QImage Logo();          // 151 x 59
QImage ExitGlyph();     // 25 x 25, red circular exit sign; bottom-left RGB 247, 244, 242
QImage PrinterGlyph();  // 25 x 25, blue circular printer sign; bottom-left RGB 254, 254, 254
QImage RestartGlyph();  // 25 x 25, red curved arrow; bottom-left white
QImage CheckGlyph();    // 25 x 25, blue circular check mark
QImage CalendarGlyph(); // 32 x 16: a month grid, normal and greyed side by side
} // namespace Artwork
