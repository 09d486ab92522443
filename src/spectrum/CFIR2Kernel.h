#pragma once
// The FIR filter's inner loops, one per instruction set, chosen at run time: every x86-64 has
// SSE2, and the AVX2/FMA and AVX-512 forms run only where the processor (and the system) has
// them, so one build runs everywhere. The portable form is the plain definition, the yardstick
// for the others. Sums of 16-bit products come out identical from every form.
#include <cstdint>

class CFIR2Kernel {
public:
    enum Isa : int { kPortable, kSse2, kAvx2, kAvx512, kIsaCount };

    static bool IsSupported(Isa isa);  // tested once per process
    static Isa Best();                 // the widest form this processor runs
    static const char* Name(Isa isa);

    // y[j] = sum over m < taps of x[j + m] * r[m], for j < count: x holds taps - 1 older samples
    // before the block, r the coefficients oldest-first.
    static void Convolve(Isa isa, const float* x, const float* r, int taps, float* y, int count);
    // The same on 16-bit samples with 32-bit sums; taps is a multiple of 16. The caller makes sure
    // no sum can leave the 32-bit range (FitsInt32).
    static void Convolve(Isa isa, const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                         int count);
    // Exact 64-bit sums, for coefficients whose worst case does not fit in 32 bits.
    static void ConvolveWide(const int16_t* x, const int16_t* r, int taps, int64_t* sums,
                             int count);
    // True when every sum of these coefficients times 16-bit samples, and every partial sum on the
    // way, stays inside the 32-bit range.
    static bool FitsInt32(const int16_t* r, int taps);

    // The forms for one instruction set each; Convolve calls the one asked for.
    static void ConvolveSse2(const float* x, const float* r, int taps, float* y, int count);
    static void ConvolveSse2(const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                             int count);
    static void ConvolveAvx2(const float* x, const float* r, int taps, float* y, int count);
    static void ConvolveAvx2(const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                             int count);
    static void ConvolveAvx512(const float* x, const float* r, int taps, float* y, int count);
    static void ConvolveAvx512(const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                               int count);
};
