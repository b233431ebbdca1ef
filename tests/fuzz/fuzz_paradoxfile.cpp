// SPDX-License-Identifier: MIT
// libFuzzer target: a Paradox table (.db), its primary index (.px) and one secondary index
// (.xg0 with the entries, .yg0 naming it).
#include "fuzztables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList names = {QStringLiteral("T.db"), QStringLiteral("T.px"),
                               QStringLiteral("T.xg0"), QStringLiteral("T.yg0")};
    fuzz::placeFiles(names, fuzz::splitFiles(data, size, int(names.size())));
    fuzz::exercise(names.front());
    return 0;
}
