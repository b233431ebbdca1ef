// SPDX-License-Identifier: MIT
#pragma once

#include "report/reportdataset.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <functional>
#include <optional>

// A banded report described as data: page settings, bands and their elements, all measured in
// millimetres. The layout turns it into pages (reportlayout.h); nothing here paints.

enum class BandKind {
    Title,        // once, at the top of the first page
    ColumnHeader, // below the title on the first page, at the top of every later page
    Detail,       // once per row of the report's data set
    Summary,      // once, after the last detail row
    PageFooter,   // at the foot of every page, the last included
};

enum class ElementKind {
    Text,       // fixed text: `text`
    DataField,  // the field named `text` of the data set named `dataSet`, through `mask`
    SystemDate, // the date of printing as short date text
    PageNumber, // the page number, 1 for the first page
    Sum,        // the sum over the detail rows of the report's field `text`, through `mask`
};

enum class TextAlignment { Left, Right, Centre };

enum class RuleEdge { Top, Bottom };
enum class RuleStyle {
    DashDotBlack,
    GreySolid,
};

struct ReportFont {
    QString family = QStringLiteral("Arial");
    double pointSize = 10;
    bool bold = false;
    bool italic = false;

    friend bool operator==(const ReportFont &, const ReportFont &) = default;
};

struct ReportElement {
    QString name;
    ElementKind kind = ElementKind::Text;
    QString text;    // the caption of a Text element, the field name of DataField and Sum
    QString dataSet; // DataField: a name in ReportDefinition::dataSets; empty for the report's own
    QString mask;    // picture format for numbers; empty prints the field's own text
    std::optional<ReportFont> font; // none: the report font
    double left = 0;
    double top = 0;
    double width = 0; // ignored when sizedToText
    double height = 4.5;
    bool sizedToText = false;
    bool centredOnBand = false; // horizontally centred across the band; `left` is ignored
    TextAlignment alignment = TextAlignment::Left;
    bool enabled = true; // a disabled element is not printed
};

struct BandRule {
    RuleEdge edge = RuleEdge::Top;
    RuleStyle style = RuleStyle::GreySolid;
};

struct ReportBand {
    QString name;
    BandKind kind = BandKind::Detail;
    double height = 0;
    QVector<ReportElement> elements;
    QVector<BandRule> rules;
    // Runs each time the band is about to print, on the copy that prints; it may change the
    // elements (their texts, for example).
    std::function<void(ReportBand &band)> beforePrint;

    ReportElement *element(const QString &elementName);
    const ReportElement *element(const QString &elementName) const;
};

struct PageSettings {
    double width = 215.9; // Letter, portrait
    double height = 279.4;
    double topMargin = 10;
    double bottomMargin = 10;
    double leftMargin = 15;
    double rightMargin = 25;

    double bandWidth() const { return width - leftMargin - rightMargin; }
};

struct ReportDefinition {
    QString name;
    PageSettings page;
    ReportFont font; // for elements without a font of their own
    QVector<ReportBand> bands;
    ReportDataSet *dataSet = nullptr;         // one Detail band per row
    QHash<QString, ReportDataSet *> dataSets; // further data sets read by DataField elements
    bool printIfEmpty = true;                 // pages even when the data set has no rows

    ReportBand *band(BandKind kind);
    const ReportBand *band(BandKind kind) const;
    ReportBand *band(const QString &bandName);
};
