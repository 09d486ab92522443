#pragma once
// A linear-phase FIR filter that designs its own taps by frequency sampling: the wanted response
// is written into a spectrum, turned into an impulse response with an inverse real FFT, the
// middle taps are cut out and windowed, and the result is scaled so that the largest gain of the
// actual response is 1. Every setter only marks the design stale; the next filter call redesigns.
// One object is meant for one thread.
#include <cstdint>
#include <vector>

#include "spectrum/CFIR2Kernel.h"
#include "spectrum/CWindow.h"

struct fftwf_plan_s;

class CFIR2 {
public:
    static constexpr int kNone = 0;
    static constexpr int kLowPass = 1;
    static constexpr int kHighPass = 2;
    static constexpr int kBandPass = 3;
    static constexpr int kBandStop = 4;

    static constexpr int kMinFftSize = 128;
    static constexpr int kMaxFftSize = 65536;
    static constexpr int kMaxTaps = 16384;

    CFIR2();
    virtual ~CFIR2();
    CFIR2(const CFIR2&) = delete;
    CFIR2& operator=(const CFIR2&) = delete;

    // In place, samples in -1..1. Designs first when the design is stale and does nothing when
    // that fails.
    virtual void Filter(float* samples, int count);
    // The same filter with the widest result the variant can give; for the float variant the same
    // as Filter.
    virtual void FilterFull(float* samples, int count);
    // In place on 16-bit samples: the filter of the float entry on sample / 32768, saturated back.
    virtual void Filter(std::int16_t* samples, int count);
    virtual void ClearHistory();
    // 1 .. kMaxTaps; 0 (and nothing changes) outside.
    virtual int SetTaps(int count);
    // 1 when the taps are designed (at once when nothing changed since), 0 when no taps are set,
    // there are more taps than FFT points, or FFTW cannot plan.
    virtual int Design(int withResponse);

    // Each setter answers 0 and changes nothing for a value outside its limits, else 1.
    int SetFftSize(int size);  // 128 .. 65536; a change drops the FFT plans
    int SetFilterType(int type);
    int SetFrequency(float hz);  // cut-off, or the centre of a band; 0 < hz < Nyquist
    int SetBandwidth(float hz);  // for band-pass and band-stop; 0 < hz < Nyquist
    int SetWindowType(int type);
    int SetSlope(float dbPerOctave);  // -100 .. 0; tilts low-pass and band-pass responses
    // Refuses rates below 1000 Hz; pulls the frequency and bandwidth below the new Nyquist.
    int SetSampleRate(float hz);

    int GetFftSize() const { return fftSize_; }
    int GetFilterType() const { return type_; }
    float GetFrequency() const { return frequency_; }
    float GetBandwidth() const { return bandwidth_; }
    int GetWindowType() const { return windowType_; }
    float GetSlope() const { return slope_; }
    float GetSampleRate() const { return sampleRate_; }
    float GetNyquist() const { return nyquist_; }
    int GetTaps() const { return taps_; }
    bool IsDesigned() const { return designed_; }

    // The instruction set of the filter loops, the widest the processor has unless chosen here;
    // 0 (and nothing changes) for one this processor lacks.
    int SetInstructionSet(CFIR2Kernel::Isa isa);
    CFIR2Kernel::Isa GetInstructionSet() const { return isa_; }

    const std::vector<float>& GetCoefficients() const { return coefficients_; }
    // Magnitude in dB per FFT bin (0 .. N/2) of the designed taps; filled by Design(1).
    const std::vector<float>& GetResponse() const { return response_; }

protected:
    // Marks the design stale when a value changes; the one path every setter takes.
    template <typename T>
    int Change(T& field, T value) {
        if (field != value) {
            field = value;
            designed_ = false;
        }
        return 1;
    }

    int taps_ = 0;
    CFIR2Kernel::Isa isa_ = CFIR2Kernel::Best();

private:
    bool MakePlans();
    void DropPlans();
    void FillSpectrum();
    void Normalise(int withResponse);
    void DesignPassThrough();
    void FilterBlock(float* samples, int count);

    int fftSize_ = 8192;
    int type_ = kNone;
    float frequency_ = 12000;
    float bandwidth_ = 1000;
    int windowType_ = CWindow::kRectangular;
    float slope_ = 0;
    float sampleRate_ = 48000;
    float nyquist_ = 24000;
    bool designed_ = false;

    bool plansReady_ = false;
    fftwf_plan_s* forward_ = nullptr;
    fftwf_plan_s* inverse_ = nullptr;
    float* work_ = nullptr;  // (N | 1) + 1 floats: the complex spectrum or the real signal

    CWindow window_;
    std::vector<float> coefficients_;
    std::vector<float> reversed_;  // coefficients oldest-first, as the inner loop reads them
    std::vector<float> response_;
    // taps - 1 past samples followed by the block being filtered.
    std::vector<float> line_;
    std::vector<float> scratch_;  // the 16-bit entry's block in floating point
};
