// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Reads a whole number the way the header rules do: leading blanks skipped, an optional sign,
// digits up to the first other character; what was read so far counts (nothing read gives 0).
long long ReadLeadingInteger(const QString &text);

// The number of `text` in decimal, with "0" put in front up to `width` characters; never cuts.
QString ZeroPad(const QString &text, int width);

// Digits and minus signs keep their order and move to the right end; every other character
// adds a blank at the front. The result is as long as the text.
QString RightJustifyDigits(const QString &text);

// Checks a dd/mm/yyyy text by position and rewrites it zero-padded when it is a date.
bool ValidateDateText(QString &text);
