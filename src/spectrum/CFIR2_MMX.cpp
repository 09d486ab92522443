#include "spectrum/CFIR2_MMX.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kToFixed = 32767.0f;
constexpr float kFromFixed = 1.0f / 32767;
constexpr float kFromFullSum = 1.0f / (1 << 30);

std::int16_t ToFixed(float sample) {
    const float scaled = sample * kToFixed;
    if (!(scaled > -32768.0f)) {
        return -32768;
    }
    return std::int16_t(std::lrint(std::min(scaled, 32767.0f)));
}

}  // namespace

int CFIR2_MMX::SetTaps(int count) {
    if (count < 1 || count > kMaxTaps) {
        return 0;
    }
    const int rounded = (count + kTapGroup - 1) / kTapGroup * kTapGroup;
    return CFIR2::SetTaps(rounded);
}

int CFIR2_MMX::Design(int withResponse) {
    if (IsDesigned()) {
        return 1;
    }
    if (!CFIR2::Design(withResponse)) {
        return 0;
    }
    const std::vector<float>& taps = GetCoefficients();
    fixed_.resize(taps.size());
    std::transform(taps.begin(), taps.end(), fixed_.begin(), [](float c) {
        return std::int16_t(std::clamp(c * kToFixed, -32767.0f, 32767.0f));
    });
    reversed_.assign(fixed_.rbegin(), fixed_.rend());
    wide_ = !CFIR2Kernel::FitsInt32(reversed_.data(), taps_);
    return 1;
}

template <typename Convert>
bool CFIR2_MMX::Accumulate(int count, Convert convert) {
    if (count <= 0 || !Design(0)) {
        return false;
    }
    const std::size_t history = std::size_t(taps_ - 1);
    if (line_.size() != history) {  // first use, or the taps changed
        line_.assign(history, 0);
    }
    line_.resize(history + std::size_t(count));
    for (int i = 0; i < count; ++i) {
        line_[history + std::size_t(i)] = convert(i);
    }
    if (wide_) {
        wideSums_.resize(std::size_t(count));
        CFIR2Kernel::ConvolveWide(line_.data(), reversed_.data(), taps_, wideSums_.data(), count);
    } else {
        sums_.resize(std::size_t(count));
        CFIR2Kernel::Convolve(isa_, line_.data(), reversed_.data(), taps_, sums_.data(), count);
    }
    std::copy(line_.end() - std::ptrdiff_t(history), line_.end(), line_.begin());
    line_.resize(history);
    return true;
}

void CFIR2_MMX::Filter(float* samples, int count) {
    if (samples == nullptr || !Accumulate(count, [&](int i) { return ToFixed(samples[i]); })) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        samples[i] = float(Sum(i) >> 15) * kFromFixed;
    }
}

void CFIR2_MMX::FilterFull(float* samples, int count) {
    if (samples == nullptr || !Accumulate(count, [&](int i) { return ToFixed(samples[i]); })) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        samples[i] = float(Sum(i)) * kFromFullSum;
    }
}

void CFIR2_MMX::Filter(std::int16_t* samples, int count) {
    if (samples == nullptr || !Accumulate(count, [&](int i) { return samples[i]; })) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        samples[i] = std::int16_t(std::clamp<std::int64_t>(Sum(i) >> 15, -32768, 32767));
    }
}

void CFIR2_MMX::ClearHistory() {
    CFIR2::ClearHistory();
    std::fill(line_.begin(), line_.end(), std::int16_t(0));
}
