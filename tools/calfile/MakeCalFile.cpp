// Writes the sample calibration file: for modes 1 to 3, curves from raw strength values to dBm at
// frequency points every 5 MHz across the receivers' range. The curves model a logarithmic
// detector spanning about 100 dB (raw 0 near -130 dBm, raw 255 near -30 dBm) that bows slightly
// at mid-scale, behind a front end whose gain ripples and falls gently with frequency.
#include <cmath>
#include <cstdio>
#include <numbers>

#include "SimCalTable.h"

namespace {

constexpr int32_t kFirstHertz = 136000000;
constexpr int32_t kLastHertz = 226000000;
constexpr int32_t kHertzStep = 5000000;
constexpr int32_t kRawStep = 8;

// The modes' detector bandwidths differ, and so do their levels slightly.
constexpr double kModeOffsetDb[] = {-1.0, -0.5, 0.0};

double DetectorDbm(int32_t raw) {
    const double x = raw / 255.0;
    return -130.0 + 100.0 * x + 1.5 * std::sin(std::numbers::pi * x) - 0.8 * std::pow(1.0 - x, 4);
}

double FrontEndGainDb(int32_t hertz) {
    const double mhz = (hertz - kFirstHertz) / 1e6;
    return 0.9 * std::sin(2.0 * std::numbers::pi * mhz / 45.0) - 0.015 * mhz;
}

bool AddCurve(SimCalTable& table, int32_t mode, int32_t hertz) {
    for (int32_t raw = 0;; raw = std::min(raw + kRawStep, 255)) {
        const double dbm = DetectorDbm(raw) + FrontEndGainDb(hertz) + kModeOffsetDb[mode - 1];
        if (table.Put(mode, hertz, raw, int32_t(std::lround(dbm * 100.0)), true) !=
            SimCalTable::Edit::kDone) {
            return false;
        }
        if (raw == 255) {
            return true;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
        return 2;
    }
    SimCalTable table("QVK740R");
    for (int32_t mode = 1; mode <= 3; ++mode) {
        for (int32_t hertz = kFirstHertz; hertz <= kLastHertz; hertz += kHertzStep) {
            if (!AddCurve(table, mode, hertz)) {
                std::fprintf(stderr, "%s: curve of mode %d at %d Hz does not rise\n", argv[0], mode,
                             hertz);
                return 1;
            }
        }
    }
    const std::string text = table.Write();
    std::string error;
    if (!SimCalTable::Parse(text, &error)) {
        std::fprintf(stderr, "%s: generated table refused: %s\n", argv[0], error.c_str());
        return 1;
    }
    std::FILE* file = std::fopen(argv[1], "wb");
    const bool written =
        file != nullptr && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
