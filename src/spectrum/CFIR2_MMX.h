#pragma once
// The FIR filter in 16-bit fixed point: taps come in groups of 16, each output is a sum of 16-bit
// products in 32 bits, computed with the processor's packed multiply-add. Coefficients whose sum
// could leave the 32-bit range on loud input (long, sharp designs) are summed in 64 bits instead,
// so no output ever wraps.
#include <cstdint>
#include <vector>

#include "spectrum/CFIR2.h"

class CFIR2_MMX : public CFIR2 {
public:
    static constexpr int kTapGroup = 16;

    // Samples become 16-bit (x 32767, rounded); each output is the sum shifted right by 15 and
    // scaled back by 1 / 32767.
    void Filter(float* samples, int count) override;
    // Each output is the whole 32-bit sum scaled by 2^-30.
    void FilterFull(float* samples, int count) override;
    // 16-bit in, 16-bit out: the sum shifted right by 15, saturated.
    void Filter(std::int16_t* samples, int count) override;
    void ClearHistory() override;
    // Rounds the count up to the next multiple of 16.
    int SetTaps(int count) override;
    // Also keeps the coefficients as 16-bit values (x 32767, truncated).
    int Design(int withResponse) override;

    const std::vector<std::int16_t>& GetFixedCoefficients() const { return fixed_; }
    // True when the design's sums need more than 32 bits.
    bool IsWide() const { return wide_; }

private:
    // Appends the block to the 16-bit history and leaves the 32-bit sums in sums_.
    template <typename Convert>
    bool Accumulate(int count, Convert convert);

    std::vector<std::int16_t> fixed_;     // coefficients, 16-bit
    std::vector<std::int16_t> reversed_;  // the same, oldest-first as the inner loop reads them
    std::vector<std::int16_t> line_;      // taps - 1 past samples, then the block being filtered
    std::int64_t Sum(int i) const {
        return wide_ ? wideSums_[std::size_t(i)] : sums_[std::size_t(i)];
    }

    bool wide_ = false;
    std::vector<std::int32_t> sums_;
    std::vector<std::int64_t> wideSums_;
};
