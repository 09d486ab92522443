#include "spectrum/CFIR2_MMX.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// One 32-bit sum of 16-bit products; it wraps as the packed instruction's sums do.
std::int32_t DotFixed(const std::int16_t* x, const std::int16_t* r, int taps) {
    std::int64_t sum = 0;
    for (int m = 0; m < taps; ++m) {
        sum += std::int32_t(x[m]) * r[m];
    }
    return std::int32_t(std::uint32_t(std::uint64_t(sum)));
}

// sums[j] = sum over m of x[j + m] * r[m]; taps is a multiple of 16.
void Convolve(const std::int16_t* x, const std::int16_t* r, int taps, std::int32_t* sums,
              int count) {
    int j = 0;
#if defined(__SSE2__)
    auto load = [](const std::int16_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    // Four outputs at a time share each load of the coefficients.
    for (; j + 4 <= count; j += 4) {
        __m128i a0 = _mm_setzero_si128(), a1 = a0, a2 = a0, a3 = a0;
        const std::int16_t* p = x + j;
        for (int m = 0; m < taps; m += 16) {
            const __m128i c0 = load(r + m);
            const __m128i c1 = load(r + m + 8);
            a0 = _mm_add_epi32(a0, _mm_madd_epi16(load(p + m), c0));
            a1 = _mm_add_epi32(a1, _mm_madd_epi16(load(p + m + 1), c0));
            a2 = _mm_add_epi32(a2, _mm_madd_epi16(load(p + m + 2), c0));
            a3 = _mm_add_epi32(a3, _mm_madd_epi16(load(p + m + 3), c0));
            a0 = _mm_add_epi32(a0, _mm_madd_epi16(load(p + m + 8), c1));
            a1 = _mm_add_epi32(a1, _mm_madd_epi16(load(p + m + 9), c1));
            a2 = _mm_add_epi32(a2, _mm_madd_epi16(load(p + m + 10), c1));
            a3 = _mm_add_epi32(a3, _mm_madd_epi16(load(p + m + 11), c1));
        }
        // Each accumulator's four lanes added up, one output per lane.
        const __m128i s01 = _mm_add_epi32(_mm_unpacklo_epi32(a0, a1), _mm_unpackhi_epi32(a0, a1));
        const __m128i s23 = _mm_add_epi32(_mm_unpacklo_epi32(a2, a3), _mm_unpackhi_epi32(a2, a3));
        const __m128i total =
            _mm_add_epi32(_mm_unpacklo_epi64(s01, s23), _mm_unpackhi_epi64(s01, s23));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(sums + j), total);
    }
#endif
    for (; j < count; ++j) {
        sums[j] = DotFixed(x + j, r, taps);
    }
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
    sums_.resize(std::size_t(count));
    Convolve(line_.data(), reversed_.data(), taps_, sums_.data(), count);
    std::copy(line_.end() - std::ptrdiff_t(history), line_.end(), line_.begin());
    line_.resize(history);
    return true;
}

void CFIR2_MMX::Filter(float* samples, int count) {
    if (samples == nullptr || !Accumulate(count, [&](int i) { return ToFixed(samples[i]); })) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        samples[i] = float(sums_[i] >> 15) * kFromFixed;
    }
}

void CFIR2_MMX::FilterFull(float* samples, int count) {
    if (samples == nullptr || !Accumulate(count, [&](int i) { return ToFixed(samples[i]); })) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        samples[i] = float(sums_[i]) * kFromFullSum;
    }
}

void CFIR2_MMX::Filter(std::int16_t* samples, int count) {
    if (samples == nullptr || !Accumulate(count, [&](int i) { return samples[i]; })) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        samples[i] = std::int16_t(std::clamp(sums_[i] >> 15, -32768, 32767));
    }
}

void CFIR2_MMX::ClearHistory() {
    CFIR2::ClearHistory();
    std::fill(line_.begin(), line_.end(), std::int16_t(0));
}
