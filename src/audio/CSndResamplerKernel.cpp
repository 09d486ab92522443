#include "audio/CSndResamplerKernel.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// History index of the tap that carries the kernel's centre at f = 0, kept inside the buffer.
inline uint32_t TapIndex(uint32_t position, uint32_t n) {
    return std::clamp(position >> 16, 4u, n + 12);
}

// Offset of the row's first coefficient: 8 x ((f + 16) >> 5).
inline uint32_t RowOffset(uint32_t position) {
    return (((position & 0xFFFF) + 16) >> 2) & 0x7FF8;
}

// The kernel's gain reaches 1.35 between samples, so loud input can sum beyond 16 bits: such a
// sum is held at full scale rather than wrapped into a click of the opposite sign.
inline int16_t OneSample(const int16_t* q, const int16_t* h) {
    const int32_t a = (q[0] * h[-3] + q[1] * h[-2] + q[2] * h[-1] + q[3] * h[0]) >> 1;
    const int32_t b = (q[4] * h[1] + q[5] * h[2] + q[6] * h[3] + q[7] * h[4]) >> 1;
    return static_cast<int16_t>(std::clamp((a + b) >> 14, -32768, 32767));
}

}  // namespace

uint32_t CSndResamplerKernel::RunScalar(const Job& job) {
    uint32_t position = job.position;
    for (uint32_t j = 0; j < job.count; ++j) {
        const int16_t* h = job.history + TapIndex(position, job.n);
        job.out[j] = OneSample(job.table + RowOffset(position), h);
        position += job.step;
    }
    return position;
}

#if defined(__SSE2__)

namespace {

// Pair sums of one output sample: [q0h0+q1h1, q2h2+q3h3, q4h4+q5h5, q6h6+q7h7].
inline __m128i PairSums(const CSndResamplerKernel::Job& job, uint32_t position) {
    const int16_t* h = job.history + TapIndex(position, job.n) - 3;
    const auto* row = reinterpret_cast<const __m128i*>(job.table + RowOffset(position));
    return _mm_madd_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(h)),
                          _mm_load_si128(row));
}

}  // namespace

uint32_t CSndResamplerKernel::RunVector(const Job& job) {
    uint32_t position = job.position;
    const uint32_t whole = job.count & ~3u;
    for (uint32_t j = 0; j < whole; j += 4) {
        const __m128i pa = PairSums(job, position);
        const __m128i pb = PairSums(job, position + job.step);
        const __m128i pc = PairSums(job, position + 2 * job.step);
        const __m128i pd = PairSums(job, position + 3 * job.step);
        position += 4 * job.step;
        // Transpose so that each vector holds one pair sum of the four samples.
        const __m128i ab01 = _mm_unpacklo_epi32(pa, pb);
        const __m128i cd01 = _mm_unpacklo_epi32(pc, pd);
        const __m128i ab23 = _mm_unpackhi_epi32(pa, pb);
        const __m128i cd23 = _mm_unpackhi_epi32(pc, pd);
        const __m128i a = _mm_srai_epi32(
            _mm_add_epi32(_mm_unpacklo_epi64(ab01, cd01), _mm_unpackhi_epi64(ab01, cd01)), 1);
        const __m128i b = _mm_srai_epi32(
            _mm_add_epi32(_mm_unpacklo_epi64(ab23, cd23), _mm_unpackhi_epi64(ab23, cd23)), 1);
        // The pack saturates, as the plain form does.
        const __m128i sum = _mm_srai_epi32(_mm_add_epi32(a, b), 14);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(job.out + j), _mm_packs_epi32(sum, sum));
    }
    Job tail = job;
    tail.position = position;
    tail.out = job.out + whole;
    tail.count = job.count - whole;
    return RunScalar(tail);
}

#else

uint32_t CSndResamplerKernel::RunVector(const Job& job) {
    return RunScalar(job);
}

#endif
