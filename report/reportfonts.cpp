// SPDX-License-Identifier: MIT
#include "report/reportfonts.h"

#include "report/reportunits.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>
#include <vector>

namespace
{

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

namespace
{

QFont makeReportQFont(const ReportFont &font)
{
    QFont f(SubstituteFontFamily(font.family));
    f.setPixelSize(std::max(
        1, int(std::lround(font.pointSize / kPointsPerInch * kMmPerInch * kReportUnitsPerMm))));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    // Unhinted outlines keep advances proportional at any scale.
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::PreferOutline);
    return f;
}

// A report uses a handful of fonts thousands of times; finding a family asks the system's font
// configuration, so each font is made once.
template <typename Made> Made cached(const ReportFont &font, Made (*make)(const ReportFont &))
{
    struct Entry {
        ReportFont font;
        Made made;
    };
    // Never destroyed: fonts must not outlive the application object's font database.
    static auto *cache = new std::vector<Entry>;
    for (const Entry &entry : *cache)
        if (entry.font == font)
            return entry.made;
    cache->push_back({font, make(font)});
    return cache->back().made;
}

QRawFont makeReportRawFont(const ReportFont &font)
{
    return QRawFont::fromFont(makeReportQFont(font));
}

} // namespace

QFont ReportQFont(const ReportFont &font)
{
    return cached(font, makeReportQFont);
}

QRawFont ReportRawFont(const ReportFont &font)
{
    return cached(font, makeReportRawFont);
}

double TextWidthMm(const QString &text, const ReportFont &font)
{
    return QFontMetricsF(ReportQFont(font)).horizontalAdvance(text) / kReportUnitsPerMm;
}
