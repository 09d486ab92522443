#pragma once
// The FIR filter in 16-bit fixed point: taps come in groups of 16, each output is a sum of 16-bit
// products, computed with the processor's packed multiply-add in 32 bits. Where loud input could
// carry a sum beyond 32 bits, the taps are summed in spans that cannot and the spans' sums added
// exactly, so no output ever wraps: the 16-bit entry saturates instead.
#include <cstdint>
#include <vector>

#include "spectrum/CFIR2.h"

class CFIR2_MMX : public CFIR2 {
public:
    static constexpr int kTapGroup = 16;

    // Samples become 16-bit (x 32767, rounded); each output is the sum shifted right by 15 and
    // scaled back by 1 / 32767.
    void Filter(float* samples, int count) override;
    // Each output is the whole sum scaled by 2^-30.
    void FilterFull(float* samples, int count) override;
    // 16-bit in, 16-bit out: the sum shifted right by 15, saturated.
    void Filter(std::int16_t* samples, int count) override;
    void ClearHistory() override;
    // Rounds the count up to the next multiple of 16.
    int SetTaps(int count) override;
    // Also keeps the coefficients as 16-bit values (x 32767, truncated).
    int Design(int withResponse) override;

    const std::vector<std::int16_t>& GetFixedCoefficients() const { return fixed_; }
    // True when the design's sums can need more than 32 bits.
    bool IsWide() const { return spans_.size() > 1; }

private:
    // Makes the design when due and room for count samples behind the history; where they go.
    std::int16_t* BlockInLine(int count);
    // The sums of the block in the line, which then keeps the last taps - 1 samples.
    void SumBlock(int count);
    // Leaves in sums_ values that, shifted right by the returned amount, are the sums shifted
    // right by 15.
    int ShiftedSums(int count);

    std::vector<std::int16_t> fixed_;     // coefficients, 16-bit
    std::vector<std::int16_t> reversed_;  // the same, oldest-first as the inner loop reads them
    std::vector<std::int16_t> line_;      // taps - 1 past samples, then the block being filtered
    std::vector<int> spans_;              // ends of the spans of taps whose sums fit in 32 bits
    std::vector<std::int32_t> sums_;
    // Where spans are summed: the total sum of each output is high x 2^15 + low.
    std::vector<std::int32_t> high_;
    std::vector<std::int32_t> low_;
};
