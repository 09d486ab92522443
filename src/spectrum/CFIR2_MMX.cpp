#include "spectrum/CFIR2_MMX.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kToFixed = 32767.0f;
constexpr float kFromFixed = 1.0f / 32767;
constexpr float kFromFullSum = 1.0f / (1 << 30);

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
    spans_ = CFIR2Kernel::Int32Spans(reversed_.data(), taps_);
    return 1;
}

std::int16_t* CFIR2_MMX::BlockInLine(int count) {
    if (count <= 0 || !Design(0)) {
        return nullptr;
    }
    const std::size_t history = std::size_t(taps_ - 1);
    if (line_.size() != history) {  // first use, or the taps changed
        line_.assign(history, 0);
    }
    line_.resize(history + std::size_t(count));
    return line_.data() + history;
}

void CFIR2_MMX::SumBlock(int count) {
    sums_.resize(std::size_t(count));
    if (IsWide()) {
        // Each span's sums fit in 32 bits; their total is kept split in two 32-bit parts.
        high_.assign(std::size_t(count), 0);
        low_.assign(std::size_t(count), 0);
        int start = 0;
        for (int end : spans_) {
            CFIR2Kernel::Convolve(isa_, line_.data() + start, reversed_.data() + start, end - start,
                                  sums_.data(), count);
            CFIR2Kernel::AddSplit(sums_.data(), high_.data(), low_.data(), count);
            start = end;
        }
    } else {
        CFIR2Kernel::Convolve(isa_, line_.data(), reversed_.data(), taps_, sums_.data(), count);
    }
    const std::ptrdiff_t history = taps_ - 1;
    std::copy(line_.end() - history, line_.end(), line_.begin());
    line_.resize(std::size_t(history));
}

int CFIR2_MMX::ShiftedSums(int count) {
    if (!IsWide()) {
        return 15;
    }
    CFIR2Kernel::JoinSplit(high_.data(), low_.data(), sums_.data(), count);
    return 0;
}

void CFIR2_MMX::Filter(float* samples, int count) {
    std::int16_t* block = samples == nullptr ? nullptr : BlockInLine(count);
    if (block == nullptr) {
        return;
    }
    CFIR2Kernel::ToFixed(samples, kToFixed, block, count);
    SumBlock(count);
    CFIR2Kernel::ToFloat(sums_.data(), ShiftedSums(count), kFromFixed, samples, count);
}

void CFIR2_MMX::FilterFull(float* samples, int count) {
    std::int16_t* block = samples == nullptr ? nullptr : BlockInLine(count);
    if (block == nullptr) {
        return;
    }
    CFIR2Kernel::ToFixed(samples, kToFixed, block, count);
    SumBlock(count);
    if (!IsWide()) {
        CFIR2Kernel::ToFloat(sums_.data(), 0, kFromFullSum, samples, count);
        return;
    }
    for (std::size_t i = 0; i < std::size_t(count); ++i) {
        // Exact in double, so rounded once, as a conversion of the whole sum would be.
        samples[i] = float(double(high_[i]) * 32768 + low_[i]) * kFromFullSum;
    }
}

void CFIR2_MMX::Filter(std::int16_t* samples, int count) {
    std::int16_t* block = samples == nullptr ? nullptr : BlockInLine(count);
    if (block == nullptr) {
        return;
    }
    std::copy_n(samples, count, block);
    SumBlock(count);
    CFIR2Kernel::ToInt16(sums_.data(), ShiftedSums(count), samples, count);
}

void CFIR2_MMX::ClearHistory() {
    CFIR2::ClearHistory();
    std::fill(line_.begin(), line_.end(), std::int16_t(0));
}
