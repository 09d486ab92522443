#include "scanner/CnxSweepColourMap.h"

#include <algorithm>
#include <cmath>

namespace {

struct Lab {
    double l, a, b;
};

// The conversions between sRGB and OKLab as Björn Ottosson published them.
double ToLinear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double ToGamma(double c) {
    c = std::clamp(c, 0.0, 1.0);
    return c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1.0 / 2.4) - 0.055;
}

Lab LabOf(QRgb rgb) {
    const double r = ToLinear(qRed(rgb) / 255.0);
    const double g = ToLinear(qGreen(rgb) / 255.0);
    const double b = ToLinear(qBlue(rgb) / 255.0);
    const double l = std::cbrt(0.4122214708 * r + 0.5363325363 * g + 0.0514459929 * b);
    const double m = std::cbrt(0.2119034982 * r + 0.6806995451 * g + 0.1073969566 * b);
    const double s = std::cbrt(0.0883024619 * r + 0.2817188376 * g + 0.6299787005 * b);
    return {0.2104542553 * l + 0.7936177850 * m - 0.0040720468 * s,
            1.9779984951 * l - 2.4285922050 * m + 0.4505937099 * s,
            0.0259040371 * l + 0.7827717662 * m - 0.8086757660 * s};
}

QRgb RgbOf(const Lab& lab) {
    const double l = std::pow(lab.l + 0.3963377774 * lab.a + 0.2158037573 * lab.b, 3);
    const double m = std::pow(lab.l - 0.1055613458 * lab.a - 0.0638541728 * lab.b, 3);
    const double s = std::pow(lab.l - 0.0894841775 * lab.a - 1.2914855480 * lab.b, 3);
    const auto channel = [](double linear) { return int(std::lround(ToGamma(linear) * 255.0)); };
    return qRgb(channel(4.0767416621 * l - 3.3077115913 * m + 0.2309699292 * s),
                channel(-1.2684380046 * l + 2.6097574011 * m - 0.3413193965 * s),
                channel(-0.0041960863 * l - 0.7034186147 * m + 1.7076147010 * s));
}

// The waypoints, darkest first; each lies along the scale as far as its lightness says, so the
// lightness of the whole map rises evenly.
constexpr QRgb kWaypoints[] = {0x141c4a, 0x4a2184, 0xa4307c, 0xe2573f, 0xf8a530, 0xfcf0b4};

std::array<QRgb, CnxSweepColourMap::kSteps> MakeTable() {
    constexpr int n = int(std::size(kWaypoints));
    Lab labs[n];
    for (int i = 0; i < n; ++i) {
        labs[i] = LabOf(kWaypoints[i]);
    }
    std::array<QRgb, CnxSweepColourMap::kSteps> table{};
    for (int step = 0; step < CnxSweepColourMap::kSteps; ++step) {
        const double lightness =
            labs[0].l + (labs[n - 1].l - labs[0].l) * step / (CnxSweepColourMap::kSteps - 1);
        int upper = 1;
        while (upper < n - 1 && labs[upper].l < lightness) {
            ++upper;
        }
        const Lab& a = labs[upper - 1];
        const Lab& b = labs[upper];
        const double t = std::clamp((lightness - a.l) / (b.l - a.l), 0.0, 1.0);
        table[std::size_t(step)] = RgbOf({lightness, a.a + (b.a - a.a) * t, a.b + (b.b - a.b) * t});
    }
    return table;
}

}  // namespace

const std::array<QRgb, CnxSweepColourMap::kSteps>& CnxSweepColourMap::Table() {
    static const std::array<QRgb, kSteps> table = MakeTable();
    return table;
}

int CnxSweepColourMap::StepOf(int tenths) {
    const int clamped = std::clamp(tenths, kBottomTenths, kTopTenths);
    return (clamped - kBottomTenths) * (kSteps - 1) / (kTopTenths - kBottomTenths);
}

QRgb CnxSweepColourMap::OfDbm(double dbm) {
    return OfTenths(int(std::lround(std::clamp(dbm, -1000.0, 1000.0) * 10.0)));
}

double CnxSweepColourMap::Lightness(QRgb rgb) {
    return LabOf(rgb).l;
}
