// SPDX-License-Identifier: MIT
#pragma once

#include <QImage>

// The window's logo and glyphs. They are drawn when the program is built (tools/artwork.h) and
// stored in it, so the window shows them without drawing anything while it starts. Each image
// reads the stored pixels where they are; painting on it works on a copy.
namespace Pictures
{
QImage Logo();          // 151 x 59
QImage ExitGlyph();     // 25 x 25; bottom-left RGB 247, 244, 242
QImage PrinterGlyph();  // 25 x 25; bottom-left RGB 254, 254, 254
QImage RestartGlyph();  // 25 x 25; bottom-left white
QImage CheckGlyph();    // 25 x 25
QImage CalendarGlyph(); // 32 x 16: normal and greyed side by side
} // namespace Pictures
