// SPDX-License-Identifier: MIT
#include "controls/hls.h"

#include <cmath>

// The conversions work in long double (extended precision on x86-64) and store every named
// intermediate result as a double: a shade whose channel lands on a rounding boundary depends
// on those last bits.

namespace
{

constexpr double kEpsilon = 1e-8;

// Centred R, G, B (each -1 or +1) of the colour that starts each sixth of the hue circle.
constexpr int kHueCorners[6][3] = {
    {+1, -1, -1}, // red
    {+1, +1, -1}, // yellow
    {-1, +1, -1}, // green
    {-1, +1, +1}, // cyan
    {-1, -1, +1}, // blue
    {+1, -1, +1}, // magenta
};

constexpr const char *kHlsNames[3] = {"Hue", "Luminance", "Saturation"};
constexpr const char *kRgbNames[3] = {"Red", "Green", "Blue"};

// A value that is not >= 0 (NaN included) or that is above 1 is out of range.
void checkRange(const ColorTriple &triple, const char *const names[3], const char *format)
{
    for (int i = 0; i < 3; ++i) {
        const double x = triple[i];
        if (!(x >= 0) || x > 1)
            throw EColorConv(
                QString::fromLatin1(format).replace(QLatin1String("%s"), QLatin1String(names[i])));
    }
}

double clampUnit(double x)
{
    if (!(x >= 0))
        return 0;
    if (x > 1)
        return 1;
    return x;
}

// Nearest integer, halves to the even neighbour (the default rounding mode).
long long roundEven(long double x)
{
    return static_cast<long long>(std::nearbyint(x));
}

} // namespace

void HLS2RGB(const ColorTriple &hls, ColorTriple &rgb)
{
    checkRange(hls, kHlsNames, "HLS2RGB: 0 <= %s value <= 1 required");
    const double h = hls[0], l = hls[1], s = hls[2];

    const long double sixths = 6.0L * h;
    const long double whole = std::trunc(sixths);
    const int sixth = static_cast<int>(whole) % 6; // H = 1 falls in sixth 0
    const int next = (sixth + 1) % 6;
    const double f = static_cast<double>(sixths - whole);

    ColorTriple c;
    for (int i = 0; i < 3; ++i) {
        c[i] = static_cast<double>(
            static_cast<long double>(kHueCorners[next][i] - kHueCorners[sixth][i]) * f +
            kHueCorners[sixth][i]);
        c[i] = static_cast<double>(static_cast<long double>(c[i]) * s);
        if (l > 0.5)
            c[i] = static_cast<double>((1.0L - l) * c[i] + l);
        else
            c[i] = static_cast<double>((static_cast<long double>(c[i]) + 1) * l);
        c[i] = clampUnit(c[i]);
    }
    rgb = c;
}

void RGB2HLS(const ColorTriple &rgb, ColorTriple &hls)
{
    checkRange(rgb, kRgbNames, "RGB2HLS: 0 <= %s value <= 1 required");

    // Centred components and the first one of largest magnitude.
    ColorTriple a;
    for (int i = 0; i < 3; ++i)
        a[i] = static_cast<double>(2.0L * rgb[i] - 1);
    double m = std::fabs(a[0]);
    int k = 0;
    for (int i = 1; i < 3; ++i) {
        if (std::fabs(a[i]) > m) {
            m = std::fabs(a[i]);
            k = i;
        }
    }
    if (m < kEpsilon) {
        hls = {0, 0.5, 0};
        return;
    }

    ColorTriple hv;
    for (int i = 0; i < 3; ++i)
        hv[i] = static_cast<double>(static_cast<long double>(a[i]) / m);

    const bool bright = a[k] > 0;
    // Stretch h so that its largest component is +1 and its smallest -1: the fully saturated
    // colour of the hue in centred form.
    double spread = 0;
    for (int i = 0; i < 3; ++i) {
        const double d = bright ? static_cast<double>(1.0L - hv[i])
                                : static_cast<double>(static_cast<long double>(hv[i]) + 1);
        if (d > spread)
            spread = d;
    }
    if (spread < kEpsilon) {
        hls = {0, rgb[0], 0};
        return;
    }
    const long double scale = 2.0L / spread;
    for (int i = 0; i < 3; ++i) {
        if (bright)
            hv[i] = static_cast<double>((static_cast<long double>(hv[i]) - 1) * scale + 1);
        else
            hv[i] = static_cast<double>((static_cast<long double>(hv[i]) + 1) * scale - 1);
    }
    if (bright) {
        // The first smallest component; on the dark side k already is that one.
        double smallest = 1.0;
        for (int i = 0; i < 3; ++i) {
            if (hv[i] < smallest) {
                smallest = hv[i];
                k = i;
            }
        }
    }

    const long double hr = hv[0], hg = hv[1], hb = hv[2];
    double sixths;
    switch (k) {
    case 0:
        sixths = static_cast<double>(hg > hb ? 2 + (hb + 1) / 2 : 4 - (hg + 1) / 2);
        break;
    case 1:
        sixths = static_cast<double>(hb > hr ? 4 + (hr + 1) / 2 : 6 - (hb + 1) / 2);
        break;
    default:
        sixths = static_cast<double>(hr > hg ? (hg + 1) / 2 : 2 - (hr + 1) / 2);
        break;
    }
    const double hue = static_cast<double>(static_cast<long double>(sixths) / 6);

    // Saturation and lightness solve the forward conversion for S and L, each from the first
    // pair of components that differ enough to carry the information.
    static constexpr int kPairs[3][2] = {{0, 1}, {1, 2}, {0, 2}};
    double sat = 0;
    for (const auto &pair : kPairs) {
        const int i = pair[0], j = pair[1];
        if (std::fabs(static_cast<long double>(a[j]) - a[i]) > kEpsilon) {
            const long double ai = a[i], aj = a[j];
            if (bright)
                sat = static_cast<double>((aj - ai) / ((aj - 1) * hv[i] - (ai - 1) * hv[j]));
            else
                sat = static_cast<double>((aj - ai) / ((ai + 1) * hv[j] - (aj + 1) * hv[i]));
            break;
        }
    }
    double t = bright ? static_cast<double>(static_cast<long double>(a[0]) - 1)
                      : static_cast<double>(static_cast<long double>(a[0]) + 1);
    for (const auto &pair : kPairs) {
        const int i = pair[0], j = pair[1];
        const long double hi = hv[i], hj = hv[j];
        if (std::fabs(hj - hi) > kEpsilon) {
            const long double ai = a[i], aj = a[j];
            if (bright)
                t = static_cast<double>(((ai - 1) * hj - (aj - 1) * hi) / (hj - hi));
            else
                t = static_cast<double>(((ai + 1) * hj - (aj + 1) * hi) / (hj - hi));
            break;
        }
    }
    const double light = bright ? static_cast<double>(static_cast<long double>(t) * 0.5 + 1)
                                : static_cast<double>(static_cast<long double>(t) * 0.5);

    hls = {clampUnit(hue), clampUnit(light), clampUnit(sat)};
}

ColorShadePair ColorShades(const QColor &color, float lightFactor, float darkFactor)
{
    const QColor rgbColor = color.toRgb();
    const int channels[3] = {rgbColor.red(), rgbColor.green(), rgbColor.blue()};

    // Highlight: the base is 256 - c, and the subtraction wraps like the byte it is.
    int light[3];
    for (int i = 0; i < 3; ++i) {
        const long long lifted =
            roundEven(static_cast<long double>(256 - channels[i]) * lightFactor);
        light[i] = static_cast<quint8>(255 - lifted);
    }

    // Shadow: the same hue and saturation at a lower lightness.
    ColorTriple triple;
    for (int i = 0; i < 3; ++i)
        triple[i] = static_cast<double>(static_cast<long double>(channels[i]) / 255);
    RGB2HLS(triple, triple);
    triple[1] = static_cast<double>(static_cast<long double>(triple[1]) * darkFactor);
    HLS2RGB(triple, triple);
    int dark[3];
    for (int i = 0; i < 3; ++i)
        dark[i] = static_cast<int>(roundEven(static_cast<long double>(triple[i]) * 255));

    return {QColor(light[0], light[1], light[2]), QColor(dark[0], dark[1], dark[2])};
}
