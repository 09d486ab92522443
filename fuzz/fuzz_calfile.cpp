// Feeds arbitrary bytes to the calibration file parser. Whatever it accepts must be a consistent
// table that writes out to text it reads back unchanged, and whose levels stay within the
// table's own range.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "SimCalTable.h"

namespace {

void CheckLevels(const SimCalTable& table) {
    for (const SimCalTable::Mode& mode : table.Modes()) {
        int32_t low = INT32_MAX;
        int32_t high = INT32_MIN;
        for (const SimCalTable::FrequencyPoint& f : mode.frequencies) {
            low = std::min(low, f.curve.front().centiDbm);
            high = std::max(high, f.curve.back().centiDbm);
        }
        const int64_t first = mode.frequencies.front().hertz;
        const int64_t last = mode.frequencies.back().hertz;
        for (int64_t hertz : {first - 1, first, (first + last) / 2, last, last + 1}) {
            for (int32_t raw : {0, 1, 127, 254, 255}) {
                const auto level = table.Level(mode.mode, hertz, raw);
                if (!level || !std::isfinite(*level) || *level < low / 100.0 - 1e-9 ||
                    *level > high / 100.0 + 1e-9) {
                    std::abort();
                }
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto table = SimCalTable::Parse(text);
    if (!table) {
        return 0;
    }
    if (!table->IsConsistent()) {
        std::abort();
    }
    const std::string written = table->Write();
    const auto again = SimCalTable::Parse(written);
    if (!again || again->Write() != written) {
        std::abort();
    }
    CheckLevels(*table);
    return 0;
}
