#pragma once
// The colours of the sweep history: a level on the bar graph's own -120 ... -40 dBm scale as a
// colour whose lightness rises evenly with the level, dark blue at the floor through violet, red
// and orange to pale yellow at the top, so the eye reads strength as brightness. The colours are
// laid out in the OKLab space, whose lightness follows perceived lightness, and taken in 256
// steps; levels beyond the scale take its ends.
#include <QColor>
#include <array>

class CnxSweepColourMap {
public:
    static constexpr int kSteps = 256;
    static constexpr int kBottomTenths = -1200;
    static constexpr int kTopTenths = -400;

    // The colour of a level in tenths of a dBm.
    static QRgb OfTenths(int tenths) { return Table()[std::size_t(StepOf(tenths))]; }
    static QRgb OfDbm(double dbm);
    static int StepOf(int tenths);
    static const std::array<QRgb, kSteps>& Table();

    // OKLab lightness of a colour, 0 (black) ... 1 (white).
    static double Lightness(QRgb rgb);
};
