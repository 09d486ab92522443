#include "spectrum/CFIR2Kernel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

bool TestProcessor(CFIR2Kernel::Isa isa) {
#if defined(__x86_64__)
    __builtin_cpu_init();
    switch (isa) {
        case CFIR2Kernel::kPortable:
            return true;
        case CFIR2Kernel::kSse2:
            return __builtin_cpu_supports("sse2");
        case CFIR2Kernel::kAvx2:
            return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        case CFIR2Kernel::kAvx512:
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
        default:
            return false;
    }
#else
    return isa == CFIR2Kernel::kPortable;
#endif
}

struct Support {
    bool has[CFIR2Kernel::kIsaCount];
    Support() {
        for (int isa = 0; isa < CFIR2Kernel::kIsaCount; ++isa) {
            has[isa] = TestProcessor(CFIR2Kernel::Isa(isa));
        }
    }
};

void ConvolvePortable(const float* x, const float* r, int taps, float* y, int count) {
    for (int j = 0; j < count; ++j) {
        float sum = 0;
        for (int m = 0; m < taps; ++m) {
            sum += x[j + m] * r[m];
        }
        y[j] = sum;
    }
}

void ConvolvePortable(const int16_t* x, const int16_t* r, int taps, int32_t* sums, int count) {
    for (int j = 0; j < count; ++j) {
        int32_t sum = 0;
        for (int m = 0; m < taps; ++m) {
            sum += int32_t(x[j + m]) * r[m];
        }
        sums[j] = sum;
    }
}

// The form of the instruction set asked for, float or 16-bit by the types.
template <typename Sample, typename Sum>
void Dispatch(CFIR2Kernel::Isa isa, const Sample* x, const Sample* r, int taps, Sum* y, int count) {
    switch (isa) {
#if defined(__x86_64__)
        case CFIR2Kernel::kSse2:
            return CFIR2Kernel::ConvolveSse2(x, r, taps, y, count);
        case CFIR2Kernel::kAvx2:
            return CFIR2Kernel::ConvolveAvx2(x, r, taps, y, count);
        case CFIR2Kernel::kAvx512:
            return CFIR2Kernel::ConvolveAvx512(x, r, taps, y, count);
#endif
        default:
            return ConvolvePortable(x, r, taps, y, count);
    }
}

}  // namespace

bool CFIR2Kernel::IsSupported(Isa isa) {
    static const Support support;
    return isa >= 0 && isa < kIsaCount && support.has[isa];
}

CFIR2Kernel::Isa CFIR2Kernel::Best() {
    for (int isa = kIsaCount - 1; isa > kPortable; --isa) {
        if (IsSupported(Isa(isa))) {
            return Isa(isa);
        }
    }
    return kPortable;
}

const char* CFIR2Kernel::Name(Isa isa) {
    static const char* const names[kIsaCount] = {"portable", "SSE2", "AVX2+FMA", "AVX-512"};
    return isa >= 0 && isa < kIsaCount ? names[isa] : "?";
}

void CFIR2Kernel::Convolve(Isa isa, const float* x, const float* r, int taps, float* y, int count) {
    Dispatch(isa, x, r, taps, y, count);
}

void CFIR2Kernel::Convolve(Isa isa, const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                           int count) {
    Dispatch(isa, x, r, taps, sums, count);
}

std::vector<int> CFIR2Kernel::Int32Spans(const int16_t* r, int taps) {
    // The largest sum samples can give: each at -32768 against the sign of its coefficient. A
    // pair never exceeds 2 x 32767 x 32768, so every span holds at least one.
    constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
    std::vector<int> ends;
    int64_t worst = 0;
    for (int m = 0; m < taps; m += 2) {
        const int64_t pair = 32768 * (int64_t(std::abs(r[m])) + std::abs(r[m + 1]));
        if (worst + pair > kLimit) {
            ends.push_back(m);
            worst = 0;
        }
        worst += pair;
    }
    ends.push_back(taps);
    return ends;
}

// Each conversion runs four values at a time where SSE2 is at hand and one at a time for the rest,
// with the same rounding and saturation either way.

void CFIR2Kernel::ToFixed(const float* in, float scale, int16_t* out, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 factor = _mm_set1_ps(scale);
    const __m128 lowest = _mm_set1_ps(-32768.0f);
    const __m128 highest = _mm_set1_ps(32767.0f);
    for (; i + 4 <= n; i += 4) {
        // max takes its second operand when the first is NaN.
        const __m128 v = _mm_mul_ps(_mm_loadu_ps(in + i), factor);
        const __m128i whole = _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(v, lowest), highest));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packs_epi32(whole, whole));
    }
#endif
    for (; i < n; ++i) {
        const float v = in[i] * scale;
        out[i] = v > -32768.0f ? int16_t(std::lrint(std::min(v, 32767.0f))) : int16_t(-32768);
    }
}

void CFIR2Kernel::ToFloat(const int32_t* in, int shift, float scale, float* out, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 factor = _mm_set1_ps(scale);
    const __m128i count = _mm_cvtsi32_si128(shift);
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        _mm_storeu_ps(out + i, _mm_mul_ps(_mm_cvtepi32_ps(_mm_sra_epi32(v, count)), factor));
    }
#endif
    for (; i < n; ++i) {
        out[i] = float(in[i] >> shift) * scale;
    }
}

void CFIR2Kernel::ToInt16(const int32_t* in, int shift, int16_t* out, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i count = _mm_cvtsi32_si128(shift);
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i + 4));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_packs_epi32(_mm_sra_epi32(a, count), _mm_sra_epi32(b, count)));
    }
#endif
    for (; i < n; ++i) {
        out[i] = int16_t(std::clamp(in[i] >> shift, -32768, 32767));
    }
}

void CFIR2Kernel::AddSplit(const int32_t* sums, int32_t* high, int32_t* low, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i mask = _mm_set1_epi32(0x7FFF);
    for (; i + 4 <= n; i += 4) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + i));
        auto* h = reinterpret_cast<__m128i*>(high + i);
        auto* l = reinterpret_cast<__m128i*>(low + i);
        _mm_storeu_si128(h, _mm_add_epi32(_mm_loadu_si128(h), _mm_srai_epi32(s, 15)));
        _mm_storeu_si128(l, _mm_add_epi32(_mm_loadu_si128(l), _mm_and_si128(s, mask)));
    }
#endif
    for (; i < n; ++i) {
        high[i] += sums[i] >> 15;
        low[i] += sums[i] & 0x7FFF;
    }
}

void CFIR2Kernel::JoinSplit(const int32_t* high, const int32_t* low, int32_t* shifted, int n) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= n; i += 4) {
        const __m128i h = _mm_loadu_si128(reinterpret_cast<const __m128i*>(high + i));
        const __m128i l = _mm_loadu_si128(reinterpret_cast<const __m128i*>(low + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(shifted + i),
                         _mm_add_epi32(h, _mm_srai_epi32(l, 15)));
    }
#endif
    for (; i < n; ++i) {
        shifted[i] = high[i] + (low[i] >> 15);
    }
}
