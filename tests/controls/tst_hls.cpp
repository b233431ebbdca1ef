// SPDX-License-Identifier: MIT
#include "controls/hls.h"

#include <QTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(ColorTriple)

namespace
{

const double kNaN = std::numeric_limits<double>::quiet_NaN();

QString text(const ColorTriple &t)
{
    return QStringLiteral("(%1, %2, %3)")
        .arg(t[0], 0, 'g', 17)
        .arg(t[1], 0, 'g', 17)
        .arg(t[2], 0, 'g', 17);
}

bool near(const ColorTriple &a, const ColorTriple &b, double tolerance)
{
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(a[i] - b[i]) <= tolerance))
            return false;
    }
    return true;
}

// The textbook HLS of an RGB colour, to compare the conversion with.
ColorTriple textbookHls(const ColorTriple &rgb)
{
    const double r = rgb[0], g = rgb[1], b = rgb[2];
    const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
    const double l = (mx + mn) / 2;
    if (mx - mn < 1e-12)
        return {0, l, 0};
    const double d = mx - mn;
    const double s = l <= 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    double h;
    if (mx == r)
        h = std::fmod((g - b) / d + 6, 6);
    else if (mx == g)
        h = (b - r) / d + 2;
    else
        h = (r - g) / d + 4;
    return {h / 6, l, s};
}

} // namespace

class TestHls : public QObject
{
    Q_OBJECT
private slots:
    void rgbToHls_data();
    void rgbToHls();
    void hlsToRgb_data();
    void hlsToRgb();
    void hueOneIsHueZero_data();
    void hueOneIsHueZero();
    void rangeErrors_data();
    void rangeErrors();
    void roundTripsAndTextbookValues();
    void sameTripleInAndOut();
    void colorShades_data();
    void colorShades();
    void colorShadesOfNonRgbColour();
};

void TestHls::rgbToHls_data()
{
    QTest::addColumn<ColorTriple>("rgb");
    QTest::addColumn<ColorTriple>("hls");

    // Green and blue tie for the smallest component of red; green decides, giving hue 1.
    QTest::newRow("red") << ColorTriple{1, 0, 0} << ColorTriple{1, 0.5, 1};
    QTest::newRow("red with a little green")
        << ColorTriple{1, 0.1, 0} << ColorTriple{0.1 / 6, 0.5, 1};
    QTest::newRow("mid grey") << ColorTriple{0.5, 0.5, 0.5} << ColorTriple{0, 0.5, 0};
    QTest::newRow("dark grey") << ColorTriple{0.25, 0.25, 0.25} << ColorTriple{0, 0.25, 0};
    QTest::newRow("light grey") << ColorTriple{0.75, 0.75, 0.75} << ColorTriple{0, 0.75, 0};
    QTest::newRow("black") << ColorTriple{0, 0, 0} << ColorTriple{0, 0, 0};
    QTest::newRow("white") << ColorTriple{1, 1, 1} << ColorTriple{0, 1, 0};
    QTest::newRow("green") << ColorTriple{0, 1, 0} << ColorTriple{1.0 / 3, 0.5, 1};
    QTest::newRow("blue") << ColorTriple{0, 0, 1} << ColorTriple{2.0 / 3, 0.5, 1};
    QTest::newRow("yellow") << ColorTriple{1, 1, 0} << ColorTriple{1.0 / 6, 0.5, 1};
    QTest::newRow("magenta") << ColorTriple{1, 0, 1} << ColorTriple{5.0 / 6, 0.5, 1};
    QTest::newRow("dark steel") << ColorTriple{0.2, 0.4, 0.6} << ColorTriple{3.5 / 6, 0.4, 0.5};
    QTest::newRow("light pink") << ColorTriple{0.9, 0.7, 0.8} << ColorTriple{5.5 / 6, 0.8, 0.5};
    QTest::newRow("dark red") << ColorTriple{0.5, 0, 0} << ColorTriple{1, 0.25, 1};
}

void TestHls::rgbToHls()
{
    QFETCH(ColorTriple, rgb);
    QFETCH(ColorTriple, hls);
    ColorTriple result{-1, -1, -1};
    RGB2HLS(rgb, result);
    QVERIFY2(near(result, hls, 1e-12), qPrintable(text(result) + " expected " + text(hls)));
}

void TestHls::hlsToRgb_data()
{
    QTest::addColumn<ColorTriple>("hls");
    QTest::addColumn<ColorTriple>("rgb");

    QTest::newRow("red") << ColorTriple{0, 0.5, 1} << ColorTriple{1, 0, 0};
    QTest::newRow("green") << ColorTriple{1.0 / 3, 0.5, 1} << ColorTriple{0, 1, 0};
    QTest::newRow("cyan") << ColorTriple{0.5, 0.5, 1} << ColorTriple{0, 1, 1};
    QTest::newRow("dark red") << ColorTriple{0, 0.25, 1} << ColorTriple{0.5, 0, 0};
    QTest::newRow("light red") << ColorTriple{0, 0.75, 1} << ColorTriple{1, 0.5, 0.5};
    QTest::newRow("grey") << ColorTriple{0.3, 0.6, 0} << ColorTriple{0.6, 0.6, 0.6};
    QTest::newRow("orange, half saturated")
        << ColorTriple{1.0 / 12, 0.5, 0.5} << ColorTriple{0.75, 0.5, 0.25};
    QTest::newRow("black") << ColorTriple{0.7, 0, 1} << ColorTriple{0, 0, 0};
    QTest::newRow("white") << ColorTriple{0.7, 1, 1} << ColorTriple{1, 1, 1};
}

void TestHls::hlsToRgb()
{
    QFETCH(ColorTriple, hls);
    QFETCH(ColorTriple, rgb);
    ColorTriple result{-1, -1, -1};
    HLS2RGB(hls, result);
    QVERIFY2(near(result, rgb, 1e-12), qPrintable(text(result) + " expected " + text(rgb)));
}

void TestHls::hueOneIsHueZero_data()
{
    QTest::addColumn<double>("l");
    QTest::addColumn<double>("s");
    QTest::newRow("full colour") << 0.5 << 1.0;
    QTest::newRow("dark, half saturated") << 0.2 << 0.5;
    QTest::newRow("light") << 0.9 << 0.8;
    QTest::newRow("grey") << 0.4 << 0.0;
}

void TestHls::hueOneIsHueZero()
{
    QFETCH(double, l);
    QFETCH(double, s);
    ColorTriple atZero, atOne;
    HLS2RGB({0, l, s}, atZero);
    HLS2RGB({1, l, s}, atOne);
    QCOMPARE(atOne, atZero);
}

void TestHls::rangeErrors_data()
{
    QTest::addColumn<bool>("toHls");
    QTest::addColumn<ColorTriple>("input");
    QTest::addColumn<QString>("message");

    const QString green = QStringLiteral("RGB2HLS: 0 <= Green value <= 1 required");
    QTest::newRow("green just above 1") << true << ColorTriple{0.5, 1.0000001, 0.5} << green;
    QTest::newRow("green negative") << true << ColorTriple{0.5, -0.1, 0.5} << green;
    QTest::newRow("green not a number") << true << ColorTriple{0.5, kNaN, 0.5} << green;
    QTest::newRow("first bad is named") << true << ColorTriple{0.5, 2, -1} << green;
    QTest::newRow("red before the rest") << true << ColorTriple{kNaN, kNaN, kNaN}
                                         << QStringLiteral("RGB2HLS: 0 <= Red value <= 1 required");
    QTest::newRow("blue") << true << ColorTriple{0, 1, 1.5}
                          << QStringLiteral("RGB2HLS: 0 <= Blue value <= 1 required");
    QTest::newRow("hue") << false << ColorTriple{-0.0001, 0.5, 0.5}
                         << QStringLiteral("HLS2RGB: 0 <= Hue value <= 1 required");
    QTest::newRow("luminance") << false << ColorTriple{0.5, 1.5, 7}
                               << QStringLiteral("HLS2RGB: 0 <= Luminance value <= 1 required");
    QTest::newRow("saturation not a number")
        << false << ColorTriple{1, 0, kNaN}
        << QStringLiteral("HLS2RGB: 0 <= Saturation value <= 1 required");
    QTest::newRow("saturation infinite")
        << false << ColorTriple{1, 0, std::numeric_limits<double>::infinity()}
        << QStringLiteral("HLS2RGB: 0 <= Saturation value <= 1 required");
}

void TestHls::rangeErrors()
{
    QFETCH(bool, toHls);
    QFETCH(ColorTriple, input);
    QFETCH(QString, message);

    const ColorTriple untouched{0.125, 0.25, 0.375};
    ColorTriple output = untouched;
    try {
        if (toHls)
            RGB2HLS(input, output);
        else
            HLS2RGB(input, output);
        QFAIL("no error raised");
    } catch (const EColorConv &error) {
        QCOMPARE(error.message(), message);
        const Error &base = error; // shown by the error box like any other error
        QCOMPARE(QString::fromUtf8(base.what()), message);
    }
    QCOMPARE(output, untouched);
}

// Every colour of a grid goes to HLS and back unchanged, and its HLS is the textbook one.
void TestHls::roundTripsAndTextbookValues()
{
    const double steps[] = {0, 0.05, 0.1, 0.25, 1.0 / 3, 0.5, 0.6, 0.75, 0.9, 0.99, 1};
    for (double r : steps) {
        for (double g : steps) {
            for (double b : steps) {
                const ColorTriple rgb{r, g, b};
                ColorTriple hls, back;
                RGB2HLS(rgb, hls);
                HLS2RGB(hls, back);
                QVERIFY2(near(back, rgb, 1e-11),
                         qPrintable(text(rgb) + " came back as " + text(back)));

                const ColorTriple expected = textbookHls(rgb);
                QVERIFY2(std::fabs(hls[1] - expected[1]) < 1e-9, qPrintable(text(rgb)));
                QVERIFY2(std::fabs(hls[2] - expected[2]) < 1e-9, qPrintable(text(rgb)));
                if (expected[2] > 0) {
                    // Hue is circular: 1 and 0 are the same red.
                    const double dh = std::fabs(hls[0] - expected[0]);
                    QVERIFY2(dh < 1e-9 || std::fabs(dh - 1) < 1e-9,
                             qPrintable(text(rgb) + " hue " + QString::number(hls[0], 'g', 17)));
                }
            }
        }
    }
}

void TestHls::sameTripleInAndOut()
{
    ColorTriple t{0.2, 0.4, 0.6};
    RGB2HLS(t, t);
    QVERIFY(near(t, {3.5 / 6, 0.4, 0.5}, 1e-12));
    HLS2RGB(t, t);
    QVERIFY(near(t, {0.2, 0.4, 0.6}, 1e-11));
}

void TestHls::colorShades_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<QColor>("highlight");
    QTest::addColumn<QColor>("shadow");

    QTest::newRow("silver") << QColor(192, 192, 192) << QColor(223, 223, 223)
                            << QColor(115, 115, 115);
    // 256 * 0.5 = 128 lifts black to 127, not 128: the base is 256 - c.
    QTest::newRow("black") << QColor(0, 0, 0) << QColor(127, 127, 127) << QColor(0, 0, 0);
    // (256 - 255) * 0.5 = 0.5 rounds to the even 0, so white stays 255.
    QTest::newRow("white") << QColor(255, 255, 255) << QColor(255, 255, 255)
                           << QColor(153, 153, 153);
    QTest::newRow("red") << QColor(255, 0, 0) << QColor(255, 127, 127) << QColor(153, 0, 0);
    // 255 * 0.5 = 127.5 rounds up to the even 128, 253 * 0.5 = 126.5 down to the even 126.
    QTest::newRow("halves to even") << QColor(1, 3, 5) << QColor(127, 129, 129) << QColor(1, 2, 3);
}

void TestHls::colorShades()
{
    QFETCH(QColor, color);
    QFETCH(QColor, highlight);
    QFETCH(QColor, shadow);
    const ColorShadePair shades = ColorShades(color, 0.5f, 0.6f);
    QCOMPARE(shades.highlight, highlight);
    QCOMPARE(shades.shadow, shadow);
}

void TestHls::colorShadesOfNonRgbColour()
{
    // A colour given in another model is taken at its RGB value.
    const ColorShadePair shades = ColorShades(QColor::fromHsv(0, 0, 192), 0.5f, 0.6f);
    QCOMPARE(shades.highlight, QColor(223, 223, 223));
    QCOMPARE(shades.shadow, QColor(115, 115, 115));
}

QTEST_APPLESS_MAIN(TestHls)
#include "tst_hls.moc"
