// SPDX-License-Identifier: MIT
// libFuzzer target: a dBase table (.dbf) and its production index (.mdx).
#include "fuzztables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList names = {QStringLiteral("T.dbf"), QStringLiteral("T.mdx")};
    fuzz::placeFiles(names, fuzz::splitFiles(data, size, int(names.size())));
    fuzz::exercise(names.front());
    return 0;
}
