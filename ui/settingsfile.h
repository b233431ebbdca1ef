// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <optional>

// The one-line settings file that remembers the interest mode: "1" simple, "2" compound.
extern const QString kSettingsFileName; // formula_juros.cfg, in the working folder

// Nothing when the file does not exist; true when its first line is exactly "1", false for any
// other first line (an empty file included). An unreadable file throws Error.
std::optional<bool> ReadSimpleInterestSetting(const QString &path);
// Creates or overwrites the file with "1" or "2" and CR LF (a writable file that already holds
// that line is left alone). Throws Error when it cannot.
void WriteSimpleInterestSetting(const QString &path, bool simple);
