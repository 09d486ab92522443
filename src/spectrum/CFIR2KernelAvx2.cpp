// The FIR inner loops with AVX2 and FMA; this file alone is compiled with them enabled, and its
// forms run only where the processor has both.
#include "spectrum/CFIR2Kernel.h"

#if defined(__AVX2__) && defined(__FMA__)
#include <immintrin.h>

#include <cstring>

#include "spectrum/CFIR2KernelBody.h"

namespace {

struct Avx2 {
    using F = __m256;
    using I = __m256i;
    static constexpr int kLanes = 8;
    static constexpr int kSums = 8;

    static F Zero() { return _mm256_setzero_ps(); }
    static F Broadcast(const float* p) { return _mm256_broadcast_ss(p); }
    static F Load(const float* p) { return _mm256_loadu_ps(p); }
    static F Fma(F a, F b, F acc) { return _mm256_fmadd_ps(a, b, acc); }
    static void Store(float* p, F v) { _mm256_storeu_ps(p, v); }

    static I ZeroI() { return _mm256_setzero_si256(); }
    static I LoadI(const int16_t* p) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    }
    static I BroadcastPair(const int16_t* p) {
        int32_t pair;
        std::memcpy(&pair, p, sizeof pair);
        return _mm256_set1_epi32(pair);
    }
    static I MultiplyAdd(I acc, I x, I c) { return _mm256_add_epi32(acc, _mm256_madd_epi16(x, c)); }
    // even holds outputs 0, 2, .. 14 and odd 1, 3, .. 15; the unpacks interleave within each
    // 128-bit half, the permutes put the halves in order.
    static void StoreInterleaved(int32_t* out, I even, I odd) {
        const I low = _mm256_unpacklo_epi32(even, odd);   // 0..3, 8..11
        const I high = _mm256_unpackhi_epi32(even, odd);  // 4..7, 12..15
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                            _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 8),
                            _mm256_permute2x128_si256(low, high, 0x31));
    }
};

}  // namespace

void CFIR2Kernel::ConvolveAvx2(const float* x, const float* r, int taps, float* y, int count) {
    ConvolveFloatBody<Avx2, 8>(x, r, taps, y, count);
}

void CFIR2Kernel::ConvolveAvx2(const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                               int count) {
    ConvolveFixedBody<Avx2, 4>(x, r, taps, sums, count);
}

#endif
