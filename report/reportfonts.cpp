// SPDX-License-Identifier: MIT
#include "report/reportfonts.h"

#include "report/reportunits.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>

namespace {

struct Substitution {
    const char *family;
    const char *twin;
};

const Substitution kSubstitutions[] = {
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Verdana", "DejaVu Sans"},
};

} // namespace

QString SubstituteFontFamily(const QString &family)
{
    if (QFontDatabase::hasFamily(family))
        return family;
    for (const Substitution &s : kSubstitutions)
        if (family.compare(QLatin1String(s.family), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(s.twin);
    return family;
}

QFont ReportQFont(const ReportFont &font)
{
    QFont f(SubstituteFontFamily(font.family));
    f.setPixelSize(std::max(1, int(std::lround(font.pointSize / kPointsPerInch * kMmPerInch *
                                               kReportUnitsPerMm))));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    // Unhinted outlines keep advances proportional at any scale.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

double TextWidthMm(const QString &text, const ReportFont &font)
{
    return QFontMetricsF(ReportQFont(font)).horizontalAdvance(text) / kReportUnitsPerMm;
}
