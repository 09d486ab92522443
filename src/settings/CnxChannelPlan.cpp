#include "settings/CnxChannelPlan.h"

#include <cstdio>

namespace {

constexpr int32_t kHalfSpacing = CnxChannelPlan::kSpacing / 2;
constexpr int64_t kLowWindowStart = CnxChannelPlan::kLowBandFirst - kHalfSpacing;  // 135812500
constexpr int64_t kLowWindowEnd = CnxChannelPlan::kGapLow;                         // exclusive
constexpr int64_t kHighWindowStart = CnxChannelPlan::kGapHigh;

template <int N>
constexpr std::array<int32_t, N> RasterFrom(int32_t first) {
    std::array<int32_t, N> frequencies{};
    for (int i = 0; i < N; ++i) {
        frequencies[i] = first + i * CnxChannelPlan::kSpacing;
    }
    return frequencies;
}

constexpr std::array<int32_t, CnxChannelPlan::kLowBandCount> MakeLowBandNumbers() {
    std::array<int32_t, CnxChannelPlan::kLowBandCount> numbers{};
    for (int i = 0; i < CnxChannelPlan::kLowBandCount; ++i) {
        numbers[i] = 32 + i;
    }
    return numbers;
}

// 1, 17, 2, 18, ..., 15, 31, 16: channels 1-16 sit 750 kHz apart, 17-31 in between.
constexpr std::array<int32_t, CnxChannelPlan::kHighBandCount> MakeHighBandNumbers() {
    std::array<int32_t, CnxChannelPlan::kHighBandCount> numbers{};
    for (int i = 0; i < CnxChannelPlan::kHighBandCount; ++i) {
        numbers[i] = (i % 2 == 0) ? 1 + i / 2 : 17 + i / 2;
    }
    return numbers;
}

constexpr auto kLowBandNumbers = MakeLowBandNumbers();
constexpr auto kLowBandFrequencies =
    RasterFrom<CnxChannelPlan::kLowBandCount>(CnxChannelPlan::kLowBandFirst);
constexpr auto kHighBandNumbers = MakeHighBandNumbers();
constexpr auto kHighBandFrequencies =
    RasterFrom<CnxChannelPlan::kHighBandCount>(CnxChannelPlan::kHighBandFirst);

// Each channel's frequency by its number (0 for the numbers no channel has); looked up often, by
// every channel of a lockout list.
constexpr auto kFrequencyByNumber = [] {
    std::array<int32_t, 100> frequencies{};
    for (int i = 0; i < CnxChannelPlan::kLowBandCount; ++i) {
        frequencies[kLowBandNumbers[i]] = kLowBandFrequencies[i];
    }
    for (int i = 0; i < CnxChannelPlan::kHighBandCount; ++i) {
        frequencies[kHighBandNumbers[i]] = kHighBandFrequencies[i];
    }
    return frequencies;
}();

static_assert(kLowBandFrequencies.back() == CnxChannelPlan::kLowBandLast);
static_assert(kHighBandFrequencies.back() == CnxChannelPlan::kHighBandLast);
static_assert(kHighBandNumbers.back() == 16);

}  // namespace

std::optional<SnxSonobuoyChannel> CnxChannelPlan::ChannelOf(int64_t frequency) {
    if (frequency >= kLowWindowStart && frequency < kLowWindowEnd) {
        const auto i = static_cast<size_t>((frequency - kLowWindowStart) / kSpacing);
        return SnxSonobuoyChannel{kLowBandNumbers[i], kLowBandFrequencies[i]};
    }
    if (frequency >= kHighWindowStart && frequency <= kHighBandLast) {
        const auto i = static_cast<size_t>((frequency - kHighWindowStart) / kSpacing);
        return SnxSonobuoyChannel{kHighBandNumbers[i], kHighBandFrequencies[i]};
    }
    return std::nullopt;
}

std::optional<int32_t> CnxChannelPlan::FrequencyOfChannel(int number) {
    if (number < 0 || number >= static_cast<int>(kFrequencyByNumber.size()) ||
        kFrequencyByNumber[static_cast<size_t>(number)] == 0) {
        return std::nullopt;
    }
    return kFrequencyByNumber[static_cast<size_t>(number)];
}

bool CnxChannelPlan::IsOnChannel(int64_t frequency) {
    const auto channel = ChannelOf(frequency);
    return channel && channel->frequency == frequency;
}

std::string CnxChannelPlan::ChannelText(const std::optional<SnxSonobuoyChannel>& channel) {
    if (!channel) {
        return "Channel Undefined";
    }
    char text[32];
    std::snprintf(text, sizeof text, "Channel % 2d", channel->number);
    return text;
}

const std::array<int32_t, CnxChannelPlan::kLowBandCount>& CnxChannelPlan::LowBandNumbers() {
    return kLowBandNumbers;
}

const std::array<int32_t, CnxChannelPlan::kLowBandCount>& CnxChannelPlan::LowBandFrequencies() {
    return kLowBandFrequencies;
}

const std::array<int32_t, CnxChannelPlan::kHighBandCount>& CnxChannelPlan::HighBandNumbers() {
    return kHighBandNumbers;
}

const std::array<int32_t, CnxChannelPlan::kHighBandCount>& CnxChannelPlan::HighBandFrequencies() {
    return kHighBandFrequencies;
}

std::optional<SnxDemoSignal> CnxChannelPlan::DemoSignalAt(int64_t frequency) {
    for (const SnxDemoSignal& signal : kDemoSignals) {
        if (signal.frequency == frequency) {
            return signal;
        }
    }
    return std::nullopt;
}
