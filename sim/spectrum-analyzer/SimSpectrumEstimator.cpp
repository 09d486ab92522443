#include "SimSpectrumEstimator.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <numbers>

namespace {

// The program plans FFTs in the same process; FFTW's planner must serialise them.
void PrepareFftw() {
    static std::once_flag once;
    std::call_once(once, [] { fftwf_make_planner_thread_safe(); });
}

// How much of each new spectrum goes into the average.
constexpr float kAverageWeight = 0.3f;

}  // namespace

SimSpectrumEstimator::SimSpectrumEstimator() {
    SetSize(2048);
}

SimSpectrumEstimator::~SimSpectrumEstimator() {
    if (plan_ != nullptr) {
        fftwf_destroy_plan(plan_);
    }
    fftwf_free(input_);
    fftwf_free(output_);
}

int SimSpectrumEstimator::SetSize(int size) {
    int rounded = kMinSize;
    while (rounded < size && rounded < kMaxSize) {
        rounded *= 2;
    }
    if (rounded == size_) {
        return size_;
    }
    PrepareFftw();
    if (plan_ != nullptr) {
        fftwf_destroy_plan(plan_);
    }
    fftwf_free(input_);
    fftwf_free(output_);
    size_ = rounded;
    input_ = fftwf_alloc_real(std::size_t(size_));
    output_ = reinterpret_cast<float*>(fftwf_alloc_complex(std::size_t(size_ / 2 + 1)));
    plan_ = fftwf_plan_dft_r2c_1d(size_, input_, reinterpret_cast<fftwf_complex*>(output_),
                                  FFTW_ESTIMATE);
    window_.resize(std::size_t(size_));
    double sum = 0;
    for (int i = 0; i < size_; ++i) {
        window_[i] = float(0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / size_));
        sum += window_[i];
    }
    // A sine of amplitude 1 shows |X| = sum / 2 at its bin.
    scale_ = float(2 / sum);
    SetOverlap(overlap_);
    Reset();
    return size_;
}

void SimSpectrumEstimator::SetOverlap(int percent) {
    overlap_ = std::clamp(percent, 0, 90);
    hop_ = std::max(1, size_ * (100 - overlap_) / 100);
}

void SimSpectrumEstimator::SetPeakHold(bool on) {
    peakHold_ = on;
    peak_.clear();
}

void SimSpectrumEstimator::Reset() {
    pending_.clear();
    average_.clear();
    latest_.clear();
    peak_.clear();
}

int SimSpectrumEstimator::Feed(const float* samples, int count) {
    pending_.insert(pending_.end(), samples, samples + count);
    int spectra = 0;
    std::size_t start = 0;
    while (pending_.size() - start >= std::size_t(size_)) {
        for (int i = 0; i < size_; ++i) {
            input_[i] = pending_[start + std::size_t(i)] * window_[i];
        }
        Transform();
        start += std::size_t(hop_);
        ++spectra;
    }
    pending_.erase(pending_.begin(), pending_.begin() + std::ptrdiff_t(start));
    return spectra;
}

void SimSpectrumEstimator::Transform() {
    fftwf_execute(plan_);
    const std::size_t bins = std::size_t(size_ / 2 + 1);
    latest_.resize(bins);
    for (std::size_t bin = 0; bin < bins; ++bin) {
        const float re = output_[2 * bin] * scale_;
        const float im = output_[2 * bin + 1] * scale_;
        latest_[bin] = std::max(kFloorDb, 10 * std::log10(re * re + im * im + 1e-30f));
    }
    if (average_.size() != bins) {
        average_ = latest_;
    } else {
        for (std::size_t bin = 0; bin < bins; ++bin) {
            average_[bin] += kAverageWeight * (latest_[bin] - average_[bin]);
        }
    }
    if (!peakHold_) {
        return;
    }
    if (peak_.size() != bins) {
        peak_ = average_;
    } else {
        for (std::size_t bin = 0; bin < bins; ++bin) {
            peak_[bin] = std::max(peak_[bin], average_[bin]);
        }
    }
}
