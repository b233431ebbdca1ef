// SPDX-License-Identifier: MIT
#pragma once

#include "ui/fonts.h"

#include <QColor>
#include <QRect>

// The main window's layout as data: one row a control.
struct ControlLayout {
    const char *name;
    const char *parent; // "" for the window itself
    QRect geometry;     // left, top, width, height; 0 width or height: sized to the text
    FontSpec font;
    const char *text;
    const char *hint;
    QRgb color; // text colour; 0: the default
};

extern const ControlLayout kMainWindowLayout[];
extern const int kMainWindowLayoutCount;
const ControlLayout *FindLayout(const char *name);

// The window font: "System", bold, 11-pixel characters.
extern const FontSpec kWindowFont;
constexpr int kClientWidth = 514;
constexpr int kClientHeight = 528;
constexpr int kWindowLeft = 22;
constexpr int kWindowTop = 22;

// The maker's web address, opened by the logo and the label under it.
extern const char *const kMakerAddress;
