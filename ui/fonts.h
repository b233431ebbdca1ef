// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QString>

// A font as the layout names it, and the face that stands in for it on this system:
// Arial -> Liberation Sans, Times New Roman -> Liberation Serif, MS Serif -> Liberation Serif,
// MS Sans Serif and System -> a sans face of the same pixel size.
struct FontSpec {
    const char *family = nullptr; // nullptr: the window's own font
    int pixelSize = 0;
    bool bold = false;
    bool underline = false;
};

QFont MakeFont(const FontSpec &look);
QString SubstituteFamily(const QString &family);
