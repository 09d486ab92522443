#pragma once
// The fixed sonobuoy channel plan: 99 channel numbers and their nominal frequencies. Channels 32-99
// lie on a 375 kHz raster from 136 MHz; channels 1-31 interleave (1, 17, 2, 18, ...) on the same
// raster from 162.25 MHz. Each channel owns the frequencies from 187.5 kHz below its nominal
// frequency to just under 187.5 kHz above it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

struct SnxSonobuoyChannel {
    int32_t number = 0;
    int32_t frequency = 0;  // nominal, Hz
};

// A sonobuoy that demo receivers hear: on its channel's nominal frequency, at a fixed level.
struct SnxDemoSignal {
    int32_t channel;
    int32_t frequency;  // Hz
    int32_t tenthsDbm;
};

class CnxChannelPlan {
public:
    static constexpr int kLowBandCount = 68;
    static constexpr int kHighBandCount = 31;
    static constexpr int32_t kSpacing = 375000;
    static constexpr int32_t kLowBandFirst = 136000000;   // channel 32
    static constexpr int32_t kHighBandFirst = 162250000;  // channel 1
    static constexpr int32_t kHighBandLast = 173500000;   // channel 16
    static constexpr int32_t kLowBandLast = 161125000;    // channel 99

    // Tuning limits: the plan's edges, and the top of the extended-range model.
    static constexpr int32_t kLowerLimit = kLowBandFirst;
    static constexpr int32_t kUpperLimit = kHighBandLast;
    static constexpr int32_t kExtendedUpperLimit = 225000000;

    // No channel lies strictly between these two (the windows of channels 99 and 1 end there).
    static constexpr int32_t kGapLow = kLowBandLast + kSpacing / 2;     // 161312500
    static constexpr int32_t kGapHigh = kHighBandFirst - kSpacing / 2;  // 162062500
    static constexpr int32_t kGapMiddle = (kGapLow + kGapHigh) / 2;     // 161687500
    // A scan that steps into the gap jumps the two raster points inside it.
    static constexpr int32_t kGapJump = kHighBandFirst - (kLowBandLast + kSpacing);  // 750000

    // The channel whose window holds f, or nothing in the gap between the bands and outside them.
    static std::optional<SnxSonobuoyChannel> ChannelOf(int64_t frequency);
    // Nominal frequency of channel 1-99, or nothing for other numbers.
    static std::optional<int32_t> FrequencyOfChannel(int number);
    // True when f is exactly the nominal frequency of its channel.
    static bool IsOnChannel(int64_t frequency);

    // The channel display's text: "Channel % 2d" or "Channel Undefined".
    static std::string ChannelText(const std::optional<SnxSonobuoyChannel>& channel);
    static std::string ChannelText(int64_t frequency) { return ChannelText(ChannelOf(frequency)); }

    // What demo receivers hear: sonobuoys on channels 1, 50 and 80; nothing anywhere else.
    static constexpr std::array<SnxDemoSignal, 3> kDemoSignals{{
        {1, kHighBandFirst, -800},
        {50, kLowBandFirst + 18 * kSpacing, -600},
        {80, kLowBandFirst + 48 * kSpacing, -700},
    }};
    static std::optional<SnxDemoSignal> DemoSignalAt(int64_t frequency);

    static const std::array<int32_t, kLowBandCount>& LowBandNumbers();
    static const std::array<int32_t, kLowBandCount>& LowBandFrequencies();
    static const std::array<int32_t, kHighBandCount>& HighBandNumbers();
    static const std::array<int32_t, kHighBandCount>& HighBandFrequencies();
};
