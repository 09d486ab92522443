// The FIR inner loops with AVX-512 (foundation and byte/word instructions); this file alone is
// compiled with them enabled, and its forms run only where the processor has them.
#include "spectrum/CFIR2Kernel.h"

#if defined(__AVX512F__) && defined(__AVX512BW__)
#include <immintrin.h>

#include <cstring>

#include "spectrum/CFIR2KernelBody.h"

namespace {

struct Avx512 {
    using F = __m512;
    using I = __m512i;
    static constexpr int kLanes = 16;
    static constexpr int kSums = 16;

    static F Zero() { return _mm512_setzero_ps(); }
    static F Broadcast(const float* p) { return _mm512_set1_ps(*p); }
    static F Load(const float* p) { return _mm512_loadu_ps(p); }
    static F Fma(F a, F b, F acc) { return _mm512_fmadd_ps(a, b, acc); }
    static void Store(float* p, F v) { _mm512_storeu_ps(p, v); }

    static I ZeroI() { return _mm512_setzero_si512(); }
    static I LoadI(const int16_t* p) { return _mm512_loadu_si512(p); }
    static I BroadcastPair(const int16_t* p) {
        int32_t pair;
        std::memcpy(&pair, p, sizeof pair);
        return _mm512_set1_epi32(pair);
    }
    static I MultiplyAdd(I acc, I x, I c) { return _mm512_add_epi32(acc, _mm512_madd_epi16(x, c)); }
    // even holds outputs 0, 2, .. 30 and odd 1, 3, .. 31; each permute takes alternately from
    // both (indices from 16 on name lanes of odd).
    static void StoreInterleaved(int32_t* out, I even, I odd) {
        const I first = _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
        const I second = _mm512_add_epi32(first, _mm512_set1_epi32(8));
        _mm512_storeu_si512(out, _mm512_permutex2var_epi32(even, first, odd));
        _mm512_storeu_si512(out + 16, _mm512_permutex2var_epi32(even, second, odd));
    }
};

}  // namespace

void CFIR2Kernel::ConvolveAvx512(const float* x, const float* r, int taps, float* y, int count) {
    ConvolveFloatBody<Avx512, 8>(x, r, taps, y, count);
}

void CFIR2Kernel::ConvolveAvx512(const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                                 int count) {
    ConvolveFixedBody<Avx512, 8>(x, r, taps, sums, count);
}

#endif
