// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <optional>

// Today's date as the program sees it. Tests fix it with setTodayForTesting.
QDate Today();
void setTodayForTesting(std::optional<QDate> day);
