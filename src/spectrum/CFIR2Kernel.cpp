#include "spectrum/CFIR2Kernel.h"

#include <cstdlib>
#include <limits>

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
    switch (isa) {
#if defined(__x86_64__)
        case kSse2:
            return ConvolveSse2(x, r, taps, y, count);
        case kAvx2:
            return ConvolveAvx2(x, r, taps, y, count);
        case kAvx512:
            return ConvolveAvx512(x, r, taps, y, count);
#endif
        default:
            return ConvolvePortable(x, r, taps, y, count);
    }
}

void CFIR2Kernel::Convolve(Isa isa, const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                           int count) {
    switch (isa) {
#if defined(__x86_64__)
        case kSse2:
            return ConvolveSse2(x, r, taps, sums, count);
        case kAvx2:
            return ConvolveAvx2(x, r, taps, sums, count);
        case kAvx512:
            return ConvolveAvx512(x, r, taps, sums, count);
#endif
        default:
            return ConvolvePortable(x, r, taps, sums, count);
    }
}

void CFIR2Kernel::ConvolveWide(const int16_t* x, const int16_t* r, int taps, int64_t* sums,
                               int count) {
    for (int j = 0; j < count; ++j) {
        int64_t sum = 0;
        for (int m = 0; m < taps; ++m) {
            sum += int32_t(x[j + m]) * r[m];
        }
        sums[j] = sum;
    }
}

bool CFIR2Kernel::FitsInt32(const int16_t* r, int taps) {
    // The largest sum any samples can give: every sample at -32768 against the sign of its tap.
    int64_t worst = 0;
    for (int m = 0; m < taps; ++m) {
        worst += 32768 * int64_t(std::abs(int32_t(r[m])));
    }
    return worst <= std::numeric_limits<int32_t>::max();
}
