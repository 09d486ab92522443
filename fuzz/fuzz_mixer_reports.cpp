// Feeds arbitrary bytes to the mixer unit's report parser twice, whole and in pieces whose sizes
// come from the input, checks that both give the same reports, and hands every report to the
// control model.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "mixer/CmqMixerReportParser.h"
#include "mixer/CmqVqbMixer.h"

namespace {

// Longer streams only repeat what shorter ones reach.
constexpr std::size_t kMaxInput = 512;

// A unit that takes every command, so the model's stored values change as they would.
class TakingMixer : public CmqVqbMixer {
public:
    TakingMixer() {
        BeginSession();
        SetDirectRotation(false);
        SetRotateConstant(8, 3);
    }

protected:
    int Write(const std::string& text) override { return static_cast<int>(text.size()); }
};

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckReport(const SmqMixerReport& report) {
    Check(report.buttons >= 0 && report.buttons <= 15 && report.mode >= 0 && report.mode <= 15);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxInput) {
        return 0;
    }
    // The first byte tells how many of the next ones are piece sizes; the rest is the stream.
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cutCount = input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 16;
    const std::string_view cuts = input.substr(std::min<std::size_t>(1, size), cutCount);
    const std::string_view stream = input.substr(std::min(size, 1 + cutCount));

    CmqMixerReportParser whole;
    whole.Append(stream);
    CmqMixerReportParser pieces;
    TakingMixer mixer;
    std::size_t at = 0;
    std::size_t cut = 0;
    SmqMixerReport report;
    SmqMixerReport expected;
    while (at < stream.size()) {
        const std::size_t piece = cuts.empty()
                                      ? stream.size()
                                      : 1 + static_cast<unsigned char>(cuts[cut++ % cuts.size()]);
        pieces.Append(stream.substr(at, piece));
        at += std::min(piece, stream.size() - at);
        while (pieces.Next(report)) {
            // However the stream was cut, the same reports come out in the same order.
            Check(whole.Next(expected) && expected == report);
            CheckReport(report);
            mixer.HandleReport(report);
            Check(mixer.GetBacklight() >= CmqVqbMixer::kBacklightMinimum &&
                  mixer.GetBacklight() <= CmqVqbMixer::kBacklightMaximum);
        }
        // Only an incomplete report may wait for more.
        Check(pieces.PendingBytes() < CmqMixerReportParser::kPositionLength);
    }
    Check(!whole.Next(expected));
    Check(whole.PendingBytes() == pieces.PendingBytes());
    return 0;
}
