#pragma once
// Everything an analyzer has been told, and the geometry that follows from it: which audio
// frequencies the picture spans and where the filter band and the IF band lie.
#include <algorithm>
#include <cstdint>

#include "spectrum/K740RXAnalyzerApi.h"

struct SimAnalyzerSettings {
    static constexpr int kMinIFBandwidth = 100;
    static constexpr int kMaxIFBandwidth = 24000;
    static constexpr int kMinFilterBandwidth = 50;
    static constexpr int kMaxViewSide = 8192;

    int sampleRate = 32000;
    int visRange = 0;  // span shown from 0 Hz; 0 or beyond Nyquist: up to Nyquist
    float zoom = 1;
    int zoomCentre = 0;
    bool enabled = true;
    bool playback = true;
    bool filterEnabled = true;
    bool readingHelper = false;
    bool drawPeak = false;
    bool squelched = false;
    int source = 0;  // 0: the averaged trace, 1: the latest spectrum
    int filterPos = 0;
    int filterBandwidth = 0;  // 0: no filter band drawn
    int ifShift = 0;
    int ifBandwidth = 0;
    int ifShiftMode = 0;  // 0: no IF band drawn
    int maxIFShift = 0;   // 0: up to Nyquist either way
    int maxIFBandwidth = kMaxIFBandwidth;
    int zeroOffset = 0;  // the IF band's centre at zero shift is half of this
    AspectVisColors colors = DefaultColors();
    int width = 0;
    int height = 0;
    int hoverX = -1;  // -1: the mouse is outside the view

    int Nyquist() const { return sampleRate / 2; }
    int FullRange() const {
        return (visRange <= 0 || visRange > Nyquist()) ? Nyquist() : std::max(visRange, 100);
    }
    // The frequencies at the picture's left and right edges.
    double LowHz() const {
        const double span = SpanHz();
        return std::clamp(zoomCentre - span / 2, 0.0, FullRange() - span);
    }
    double SpanHz() const { return FullRange() / double(zoom); }
    double HzAt(int x) const { return LowHz() + x * SpanHz() / std::max(width, 1); }
    double XAt(double hz) const { return (hz - LowHz()) * width / SpanHz(); }

    bool ShowsFilter() const { return filterEnabled && filterBandwidth > 0; }
    double FilterLow() const { return filterPos - filterBandwidth / 2.0; }
    double FilterHigh() const { return filterPos + filterBandwidth / 2.0; }

    bool ShowsIF() const { return ifShiftMode != 0 && ifBandwidth > 0; }
    double IFCentre() const { return (zeroOffset > 0 ? zeroOffset : ifBandwidth) / 2.0 + ifShift; }
    int IFShiftLimit() const { return maxIFShift > 0 ? maxIFShift : Nyquist(); }
    int IFBandwidthLimit() const { return std::min(maxIFBandwidth, kMaxIFBandwidth); }

    static AspectVisColors DefaultColors() {
        AspectVisColors c{};
        c.background = 0x0b0e11;
        c.grid = 0x1f2730;
        c.trace = 0x3ddc84;
        c.traceFill = 0x15402a;
        c.peak = 0xffb000;
        c.passband = 0x5aa9ff;
        c.passbandEdge = 0x9ac8ff;
        c.ifShift = 0xffb000;
        c.readingHelper = 0xd8dee6;
        c.squelched = 0x5a6470;
        return c;
    }
};
