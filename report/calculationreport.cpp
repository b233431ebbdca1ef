// SPDX-License-Identifier: MIT
#include "report/calculationreport.h"

#include "core/dates.h"
#include "report/previewwindow.h"

const QString CalculationReport::kName = QStringLiteral("QuickRep1");
const QString CalculationReport::kHeaderDataSet = QStringLiteral("Table1");

namespace
{

enum class FontId { Report, Verdana14Bold, Arial10BoldItalic, Times8, Arial10Bold, Arial8 };

struct FontRow {
    FontId id;
    const char *family;
    double pointSize;
    bool bold;
    bool italic;
};

const FontRow kFonts[] = {
    {FontId::Report, "Arial", 10, false, false},
    {FontId::Verdana14Bold, "Verdana", 14, true, false},
    {FontId::Arial10BoldItalic, "Arial", 10, true, true},
    {FontId::Times8, "Times New Roman", 8, false, false},
    {FontId::Arial10Bold, "Arial", 10, true, false},
    {FontId::Arial8, "Arial", 8, false, false},
};

enum class Rules { None, TopAndBottomDashDot, BottomGrey, TopGrey };

struct BandRow {
    const char *name;
    BandKind kind;
    double height;
    Rules rules;
};

const BandRow kBands[] = {
    {"QRBand1", BandKind::Title, 12.70, Rules::TopAndBottomDashDot},
    {"QRBand3", BandKind::ColumnHeader, 19.05, Rules::BottomGrey},
    {"QRBand2", BandKind::Detail, 5.03, Rules::None},
    {"QRBand4", BandKind::Summary, 6.88, Rules::TopGrey},
    {"QRBand5", BandKind::PageFooter, 4.76, Rules::None},
};

constexpr double kText = -1;    // width: sized to the text
constexpr double kCentred = -1; // left: centred across the band
const char *const kMoney = "##,###,##0.00";
const char *const kHeader = "Table1"; // the header data set, CalculationReport::kHeaderDataSet

struct ElementRow {
    const char *band;
    const char *name;
    ElementKind kind;
    const char *text; // caption or field name
    const char *dataSet;
    const char *mask;
    FontId font;
    double left;
    double top;
    double width;
    double height;
    TextAlignment alignment;
    bool enabled;
};

using K = ElementKind;
using A = TextAlignment;

// clang-format off
const ElementRow kElements[] = {
    // Title band: heading, reminder, date of printing, interest-mode letter.
    {"QRBand1", "QRLabel1",   K::Text,       "SIMULAÇÃO DE VENDA", "", "", FontId::Verdana14Bold,     kCentred,  0.53, kText, 6.35, A::Centre, true},
    {"QRBand1", "QRDBText10", K::DataField,  "LEMBRETE",    kHeader, "", FontId::Arial10BoldItalic, kCentred,  6.88, kText, 4.76, A::Centre, true},
    {"QRBand1", "QRLabel2",   K::Text,       "DATA:",       "", "",     FontId::Report,            142.08,  1.06, kText, 4.50, A::Left,   true},
    {"QRBand1", "QRSysData1", K::SystemDate, "",            "", "",     FontId::Report,            153.19,  1.06, kText, 4.50, A::Left,   true},
    {"QRBand1", "QRLabel11",  K::Text,       "S",           "", "",     FontId::Times8,            173.30,  1.32, kText, 4.50, A::Left,   true},
    // Column header band: base date, rate, column headings (the interest column has none).
    {"QRBand3", "QRLabel3",   K::Text,       "DATA BASE:",  "", "",     FontId::Arial10Bold,        31.49,  2.65, kText, 4.50, A::Left,   true},
    {"QRBand3", "QRDBText7",  K::DataField,  "DATABASE",    kHeader, "", FontId::Report,            53.45,  2.65, kText, 4.50, A::Left,   true},
    {"QRBand3", "QRLabel4",   K::Text,       "TAXA:",       "", "",     FontId::Arial10Bold,       109.27,  2.65, kText, 4.50, A::Left,   true},
    {"QRBand3", "QRDBText8",  K::DataField,  "JUROS",       kHeader, "###0.00", FontId::Report,    120.65,  2.65, 10.85, 4.50, A::Right,  true},
    {"QRBand3", "QRLabel12",  K::Text,       "%",           "", "",     FontId::Report,            132.03,  2.65, kText, 4.50, A::Left,   true},
    {"QRBand3", "QRLabel8",   K::Text,       "Valor",       "", "",     FontId::Arial10Bold,        35.45, 13.76, kText, 5.03, A::Left,   true},
    {"QRBand3", "QRLabel6",   K::Text,       "Data",        "", "",     FontId::Arial10Bold,        50.80, 13.76, kText, 4.50, A::Left,   true},
    {"QRBand3", "QRLabel7",   K::Text,       "Nº Dias",     "", "",     FontId::Arial10Bold,        76.20, 13.76, kText, 4.50, A::Left,   true},
    {"QRBand3", "QRLabel9",   K::Text,       "Juros",       "", "",     FontId::Arial10Bold,       109.01, 13.76, kText, 5.03, A::Left,   false},
    {"QRBand3", "QRLabel10",  K::Text,       "Vlr.Apurado", "", "",     FontId::Arial10Bold,       128.32, 13.76, kText, 5.03, A::Left,   true},
    // Detail band: one row per cheque line.
    {"QRBand2", "QRDBText3",  K::DataField,  "VALOR",       "", kMoney, FontId::Report,             17.20,  0.26, 27.78, 4.50, A::Right,  true},
    {"QRBand2", "QRDBText1",  K::DataField,  "DATA",        "", "",     FontId::Report,             50.54,  0.26, 23.55, 4.50, A::Left,   true},
    {"QRBand2", "QRDBText2",  K::DataField,  "DIAS",        "", "",     FontId::Report,             76.20,  0.26, 12.44, 4.50, A::Right,  true},
    {"QRBand2", "QRDBText4",  K::DataField,  "JUROS",       "", kMoney, FontId::Report,             90.75,  0.26, 27.78, 4.50, A::Right,  true},
    {"QRBand2", "QRDBText5",  K::DataField,  "VALORDESC",   "", kMoney, FontId::Report,            120.91,  0.26, 27.78, 4.50, A::Right,  true},
    // Summary band: the totals of the unrounded line values, under their columns.
    {"QRBand4", "QRExpr1",    K::Sum,        "VALOR",       "", kMoney, FontId::Arial10Bold,        17.20,  0.79, 27.78, 4.50, A::Right,  true},
    {"QRBand4", "QRExpr2",    K::Sum,        "JUROS",       "", kMoney, FontId::Arial10Bold,        90.75,  0.79, 27.78, 4.50, A::Right,  true},
    {"QRBand4", "QRExpr3",    K::Sum,        "ValorDesc",   "", kMoney, FontId::Arial10Bold,       120.91,  0.79, 27.78, 4.50, A::Right,  true},
    // Page footer band.
    {"QRBand5", "QRLabel5",   K::Text,       "Pág.",        "", "",     FontId::Arial8,            159.81,  0.79, kText, 4.50, A::Left,   true},
    {"QRBand5", "QRSysData2", K::PageNumber, "",            "", "",     FontId::Arial8,            165.63,  0.79, kText, 4.50, A::Left,   true},
};
// clang-format on

ReportFont fontOf(FontId id)
{
    for (const FontRow &row : kFonts)
        if (row.id == id)
            return {QString::fromLatin1(row.family), row.pointSize, row.bold, row.italic};
    return {};
}

QVector<BandRule> rulesOf(Rules rules)
{
    switch (rules) {
    case Rules::None:
        return {};
    case Rules::TopAndBottomDashDot:
        return {{RuleEdge::Top, RuleStyle::DashDotBlack},
                {RuleEdge::Bottom, RuleStyle::DashDotBlack}};
    case Rules::BottomGrey:
        return {{RuleEdge::Bottom, RuleStyle::GreySolid}};
    case Rules::TopGrey:
        return {{RuleEdge::Top, RuleStyle::GreySolid}};
    }
    return {};
}

ReportElement elementOf(const ElementRow &row)
{
    ReportElement e;
    e.name = QString::fromLatin1(row.name);
    e.kind = row.kind;
    e.text = QString::fromUtf8(row.text);
    e.dataSet = QString::fromLatin1(row.dataSet);
    e.mask = QString::fromLatin1(row.mask);
    if (row.font != FontId::Report)
        e.font = fontOf(row.font);
    e.centredOnBand = row.left == kCentred;
    e.left = e.centredOnBand ? 0 : row.left;
    e.top = row.top;
    e.sizedToText = row.width == kText;
    e.width = e.sizedToText ? 0 : row.width;
    e.height = row.height;
    e.alignment = row.alignment;
    e.enabled = row.enabled;
    return e;
}

} // namespace

// The header record seen as a one-row data set, asked afresh for every value.
class CalculationReport::HeaderDataSet : public ReportDataSet
{
public:
    explicit HeaderDataSet(const CalculationHeader &header) : m_header(header) {}

    void first() override {}
    void next() override {}
    bool eof() const override { return false; }

    QVariant value(const QString &field) const override
    {
        const QString name = field.toUpper();
        if (name == QLatin1String("LEMBRETE"))
            return m_header.lembrete();
        if (name == QLatin1String("DATABASE")) {
            const QDate date = m_header.dataBase();
            return date.isValid() ? QVariant(date) : QVariant();
        }
        if (name == QLatin1String("JUROS")) {
            const std::optional<double> rate = m_header.juros();
            return rate ? QVariant(*rate) : QVariant();
        }
        return {};
    }

    QString text(const QString &field) const override
    {
        const QVariant v = value(field);
        if (!v.isValid())
            return {};
        if (v.typeId() == QMetaType::QDate)
            return ShortDateText(v.toDate());
        return v.toString();
    }

private:
    const CalculationHeader &m_header;
};

CalculationReport::CalculationReport(ReportDataSet &lines, const CalculationHeader &header)
    : m_lines(lines), m_header(header), m_headerDataSet(std::make_unique<HeaderDataSet>(header))
{
}

CalculationReport::~CalculationReport() = default;

ReportDefinition CalculationReport::QuickRep1()
{
    ReportDefinition report;
    report.name = kName;
    report.font = fontOf(FontId::Report);
    report.dataSet = &m_lines;
    report.dataSets.insert(kHeaderDataSet, m_headerDataSet.get());
    report.printIfEmpty = true;
    for (const BandRow &row : kBands) {
        ReportBand band;
        band.name = QString::fromLatin1(row.name);
        band.kind = row.kind;
        band.height = row.height;
        band.rules = rulesOf(row.rules);
        for (const ElementRow &element : kElements)
            if (qstrcmp(element.band, row.name) == 0)
                band.elements.append(elementOf(element));
        report.bands.append(band);
    }
    report.band(BandKind::Title)->beforePrint = [this](ReportBand &band) {
        QRBand1BeforePrint(band);
    };
    return report;
}

void CalculationReport::QRBand1BeforePrint(ReportBand &band) const
{
    if (ReportElement *letter = band.element(QStringLiteral("QRLabel11")))
        letter->text = m_header.jurosSimples() ? QStringLiteral("S") : QStringLiteral("C");
}

LaidOutReport CalculationReport::generate(const LayoutContext &context)
{
    return LayOutReport(QuickRep1(), context);
}

void CalculationReport::preview(QWidget *parent)
{
    PreviewWindow::showAndWait([this] { return generate(); }, parent, &m_previewWindow);
}

PreviewWindow *CalculationReport::previewWindow() const
{
    return m_previewWindow.data();
}
