// SPDX-License-Identifier: MIT
#include "report/reportdefinition.h"

ReportElement *ReportBand::element(const QString &elementName)
{
    for (ReportElement &e : elements)
        if (e.name == elementName)
            return &e;
    return nullptr;
}

const ReportElement *ReportBand::element(const QString &elementName) const
{
    return const_cast<ReportBand *>(this)->element(elementName);
}

ReportBand *ReportDefinition::band(BandKind kind)
{
    for (ReportBand &b : bands)
        if (b.kind == kind)
            return &b;
    return nullptr;
}

const ReportBand *ReportDefinition::band(BandKind kind) const
{
    return const_cast<ReportDefinition *>(this)->band(kind);
}

ReportBand *ReportDefinition::band(const QString &bandName)
{
    for (ReportBand &b : bands)
        if (b.name == bandName)
            return &b;
    return nullptr;
}
