// SPDX-License-Identifier: MIT
#include "report/laidoutreport.h"

#include <QStringList>

int LaidOutPage::bandCount(BandKind kind) const
{
    int count = 0;
    for (const LaidOutBand &b : bands)
        if (b.kind == kind)
            ++count;
    return count;
}

const LaidOutText *LaidOutPage::findText(const QString &element) const
{
    for (const LaidOutText &t : texts)
        if (t.element == element)
            return &t;
    return nullptr;
}

QStringList LaidOutPage::textsOf(const QString &element) const
{
    QStringList result;
    for (const LaidOutText &t : texts)
        if (t.element == element)
            result.append(t.text);
    return result;
}
