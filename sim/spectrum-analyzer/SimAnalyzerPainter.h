#pragma once
// Draws an analyzer's picture into 32-bit pixels (0xFFRRGGBB): the dB grid, the spectrum as a
// filled trace, the peak hold, the filter band as a translucent shade with bright edges, and the
// IF band as a bracket along the top with its shift as a vertical handle.
#include <cstdint>
#include <vector>

#include "SimAnalyzerSettings.h"

class SimAnalyzerPainter {
public:
    // The vertical scale: the top row is kTopDb, the bottom row kBottomDb.
    static constexpr float kTopDb = 0.0f;
    static constexpr float kBottomDb = -120.0f;
    static constexpr int kBracketHeight = 12;  // rows at the top that hold the IF bracket

    // `bins` is the trace to draw (dB per FFT bin from 0 Hz to Nyquist), `peak` the peak hold or
    // empty.
    static void Paint(const SimAnalyzerSettings& s, const std::vector<float>& bins,
                      const std::vector<float>& peak, std::uint32_t* pixels, int bytesPerLine);
};
