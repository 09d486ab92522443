// The FIR inner loops with SSE2, which every x86-64 processor has.
#include "spectrum/CFIR2Kernel.h"

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstring>

#include "spectrum/CFIR2KernelBody.h"

namespace {

struct Sse2 {
    using F = __m128;
    using I = __m128i;
    static constexpr int kLanes = 4;
    static constexpr int kSums = 4;

    static F Zero() { return _mm_setzero_ps(); }
    static F Broadcast(const float* p) { return _mm_set1_ps(*p); }
    static F Load(const float* p) { return _mm_loadu_ps(p); }
    static F Fma(F a, F b, F acc) { return _mm_add_ps(acc, _mm_mul_ps(a, b)); }
    static void Store(float* p, F v) { _mm_storeu_ps(p, v); }

    static I ZeroI() { return _mm_setzero_si128(); }
    static I LoadI(const int16_t* p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    }
    static I BroadcastPair(const int16_t* p) {
        int32_t pair;
        std::memcpy(&pair, p, sizeof pair);
        return _mm_set1_epi32(pair);
    }
    static I MultiplyAdd(I acc, I x, I c) { return _mm_add_epi32(acc, _mm_madd_epi16(x, c)); }
    // even holds outputs 0, 2, 4, 6 and odd 1, 3, 5, 7.
    static void StoreInterleaved(int32_t* out, I even, I odd) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi32(even, odd));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi32(even, odd));
    }
};

}  // namespace

void CFIR2Kernel::ConvolveSse2(const float* x, const float* r, int taps, float* y, int count) {
    ConvolveFloatBody<Sse2, 4>(x, r, taps, y, count);
}

void CFIR2Kernel::ConvolveSse2(const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                               int count) {
    ConvolveFixedBody<Sse2, 4>(x, r, taps, sums, count);
}

#endif
