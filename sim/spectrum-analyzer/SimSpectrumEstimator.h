#pragma once
// Turns a stream of samples into a power spectrum in dB: Hann-windowed FFTs of a set size that
// overlap by a set share, an exponential average over them and, when asked, a peak hold.
#include <cstdint>
#include <vector>

struct fftwf_plan_s;

class SimSpectrumEstimator {
public:
    static constexpr int kMinSize = 256;
    static constexpr int kMaxSize = 32768;
    static constexpr float kFloorDb = -140.0f;

    SimSpectrumEstimator();
    ~SimSpectrumEstimator();
    SimSpectrumEstimator(const SimSpectrumEstimator&) = delete;
    SimSpectrumEstimator& operator=(const SimSpectrumEstimator&) = delete;

    // Rounded up to a power of two within kMinSize .. kMaxSize; returns the size taken.
    int SetSize(int size);
    int Size() const { return size_; }
    void SetOverlap(int percent);  // 0 .. 90
    void SetPeakHold(bool on);
    // Forgets the traces and the samples not yet transformed.
    void Reset();

    // Returns how many new spectra the samples completed.
    int Feed(const float* samples, int count);

    // dB relative to a full-scale sine, one value per bin 0 .. size / 2; empty before the first
    // spectrum.
    const std::vector<float>& Average() const { return average_; }
    const std::vector<float>& Latest() const { return latest_; }
    const std::vector<float>& Peak() const { return peak_; }

private:
    void Transform();

    int size_ = 0;
    int hop_ = 0;
    int overlap_ = 50;
    bool peakHold_ = false;
    fftwf_plan_s* plan_ = nullptr;
    float* input_ = nullptr;   // fftwf-aligned, size_ floats
    float* output_ = nullptr;  // size_ / 2 + 1 complex values
    std::vector<float> window_;
    float scale_ = 1;  // makes a full-scale sine 0 dB
    std::vector<float> pending_;
    std::vector<float> average_;
    std::vector<float> latest_;
    std::vector<float> peak_;
};
