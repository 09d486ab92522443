#pragma once
// The shape of the FIR inner loops, written once over a vector type V and included by each
// instruction set's file, which compiles it with that set enabled. Everything here has internal
// linkage, so no function built for a wider set can stand in for one of the portable build.
#include <cstdint>

namespace {

// Float: each tap's coefficient, broadcast once, meets K vectors of consecutive outputs whose
// running sums stay in registers while the taps go by.
template <typename V, int K>
void ConvolveFloatBody(const float* x, const float* r, int taps, float* y, int count) {
    constexpr int kWidth = V::kLanes;
    int j = 0;
    for (; j + K * kWidth <= count; j += K * kWidth) {
        typename V::F acc[K];
#pragma GCC unroll 16
        for (int k = 0; k < K; ++k) {
            acc[k] = V::Zero();
        }
        const float* p = x + j;
        for (int m = 0; m < taps; ++m, ++p) {
            const typename V::F c = V::Broadcast(r + m);
#pragma GCC unroll 16
            for (int k = 0; k < K; ++k) {
                acc[k] = V::Fma(c, V::Load(p + k * kWidth), acc[k]);
            }
        }
#pragma GCC unroll 16
        for (int k = 0; k < K; ++k) {
            V::Store(y + j + k * kWidth, acc[k]);
        }
    }
    for (; j + kWidth <= count; j += kWidth) {
        typename V::F acc = V::Zero();
        for (int m = 0; m < taps; ++m) {
            acc = V::Fma(V::Broadcast(r + m), V::Load(x + j + m), acc);
        }
        V::Store(y + j, acc);
    }
    for (; j < count; ++j) {
        float sum = 0;
        for (int m = 0; m < taps; ++m) {
            sum += x[j + m] * r[m];
        }
        y[j] = sum;
    }
}

// One exact sum; the caller guarantees it fits in 32 bits.
inline int32_t DotFixed(const int16_t* x, const int16_t* r, int taps) {
    int32_t sum = 0;
    for (int m = 0; m < taps; ++m) {
        sum += int32_t(x[m]) * r[m];
    }
    return sum;
}

// 16-bit: a vector of 32-bit lanes loaded at x + s holds the sample pairs (x[s + 2l],
// x[s + 2l + 1]), which the multiply-add weighs with the broadcast coefficient pair (r[m],
// r[m + 1]). Loads at the even and the odd offset so give the sums of every second output; K
// such pairs of running sums share each coefficient pair, and are interleaved at the end.
// taps is even.
template <typename V, int K>
void ConvolveFixedBody(const int16_t* x, const int16_t* r, int taps, int32_t* sums, int count) {
    constexpr int kStep = 2 * V::kSums;  // outputs per pair of running sums
    int j = 0;
    for (; j + K * kStep <= count; j += K * kStep) {
        typename V::I even[K];
        typename V::I odd[K];
#pragma GCC unroll 16
        for (int k = 0; k < K; ++k) {
            even[k] = odd[k] = V::ZeroI();
        }
        for (int m = 0; m < taps; m += 2) {
            const typename V::I c = V::BroadcastPair(r + m);
            const int16_t* p = x + j + m;
#pragma GCC unroll 16
            for (int k = 0; k < K; ++k) {
                even[k] = V::MultiplyAdd(even[k], V::LoadI(p + k * kStep), c);
                odd[k] = V::MultiplyAdd(odd[k], V::LoadI(p + k * kStep + 1), c);
            }
        }
#pragma GCC unroll 16
        for (int k = 0; k < K; ++k) {
            V::StoreInterleaved(sums + j + k * kStep, even[k], odd[k]);
        }
    }
    for (; j + kStep <= count; j += kStep) {
        typename V::I even = V::ZeroI();
        typename V::I odd = V::ZeroI();
        for (int m = 0; m < taps; m += 2) {
            const typename V::I c = V::BroadcastPair(r + m);
            even = V::MultiplyAdd(even, V::LoadI(x + j + m), c);
            odd = V::MultiplyAdd(odd, V::LoadI(x + j + m + 1), c);
        }
        V::StoreInterleaved(sums + j, even, odd);
    }
    for (; j < count; ++j) {
        sums[j] = DotFixed(x + j, r, taps);
    }
}

}  // namespace
