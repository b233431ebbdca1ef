// SPDX-License-Identifier: MIT
#include "core/clock.h"

namespace
{
std::optional<QDate> g_fixedToday;
}

QDate Today()
{
    return g_fixedToday ? *g_fixedToday : QDate::currentDate();
}

void setTodayForTesting(std::optional<QDate> day)
{
    g_fixedToday = day;
}
