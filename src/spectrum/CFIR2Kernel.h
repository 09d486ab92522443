#pragma once
// The FIR filter's inner loops, one per instruction set, chosen at run time: every x86-64 has
// SSE2, and the AVX2/FMA and AVX-512 forms run only where the processor (and the system) has
// them, so one build runs everywhere. The portable form is the plain definition, the yardstick
// for the others. Sums of 16-bit products come out identical from every form.
#include <cstdint>
#include <vector>

class CFIR2Kernel {
public:
    enum Isa : int { kPortable, kSse2, kAvx2, kAvx512, kIsaCount };

    static bool IsSupported(Isa isa);  // tested once per process
    static Isa Best();                 // the widest form this processor runs
    static const char* Name(Isa isa);

    // y[j] = sum over m < taps of x[j + m] * r[m], for j < count: x holds taps - 1 older samples
    // before the block, r the coefficients oldest-first.
    static void Convolve(Isa isa, const float* x, const float* r, int taps, float* y, int count);
    // The same on 16-bit samples with 32-bit sums; taps is even. The caller makes sure no sum can
    // leave the 32-bit range (Int32Spans).
    static void Convolve(Isa isa, const int16_t* x, const int16_t* r, int taps, int32_t* sums,
                         int count);
    // Where to cut coefficients (each within -32767 .. 32767, an even count) into consecutive
    // spans of even length whose sums of products with 16-bit samples, and every partial sum on
    // the way, stay inside the 32-bit range: the end of each span, the last one being taps.
    static std::vector<int> Int32Spans(const int16_t* r, int taps);

    // The fixed-point filter's conversions, bit for bit the same on every processor.
    // out = in x scale rounded to the nearest integer (ties to even), held at 16 bits; NaN
    // becomes -32768.
    static void ToFixed(const float* in, float scale, int16_t* out, int n);
    // out = float(in >> shift) x scale.
    static void ToFloat(const int32_t* in, int shift, float scale, float* out, int n);
    // out = in >> shift, held at 16 bits.
    static void ToInt16(const int32_t* in, int shift, int16_t* out, int n);
    // Keeps a running total of 32-bit sums as high x 2^15 + low: high += sum >> 15, low += its
    // lowest 15 bits. Exact for up to 65536 sums.
    static void AddSplit(const int32_t* sums, int32_t* high, int32_t* low, int n);
    // shifted = the total >> 15 = high + (low >> 15).
    static void JoinSplit(const int32_t* high, const int32_t* low, int32_t* shifted, int n);

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
