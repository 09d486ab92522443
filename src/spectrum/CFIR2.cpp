#include "spectrum/CFIR2.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

#include "spectrum/CnxFftwPlanner.h"

namespace {

std::int16_t Saturate16(float value) {
    if (!(value > -32768.0f)) {
        return -32768;
    }
    if (value > 32767.0f) {
        return 32767;
    }
    return std::int16_t(std::lrint(value));
}

}  // namespace

CFIR2::CFIR2() = default;

CFIR2::~CFIR2() {
    DropPlans();
}

int CFIR2::SetFftSize(int size) {
    if (size < kMinFftSize || size > kMaxFftSize) {
        return 0;
    }
    if (size != fftSize_) {
        DropPlans();
    }
    return Change(fftSize_, size);
}

int CFIR2::SetFilterType(int type) {
    if (type < kNone || type > kBandStop) {
        return 0;
    }
    return Change(type_, type);
}

int CFIR2::SetFrequency(float hz) {
    if (!(hz > 0 && hz < nyquist_)) {
        return 0;
    }
    return Change(frequency_, hz);
}

int CFIR2::SetBandwidth(float hz) {
    if (!(hz > 0 && hz < nyquist_)) {
        return 0;
    }
    return Change(bandwidth_, hz);
}

int CFIR2::SetWindowType(int type) {
    if (type < 0 || type >= CWindow::kTypeCount) {
        return 0;
    }
    return Change(windowType_, type);
}

int CFIR2::SetSlope(float dbPerOctave) {
    if (!(dbPerOctave >= -100 && dbPerOctave <= 0)) {
        return 0;
    }
    return Change(slope_, dbPerOctave);
}

int CFIR2::SetSampleRate(float hz) {
    if (!(hz >= 1000)) {
        return 0;
    }
    Change(sampleRate_, hz);
    Change(nyquist_, hz / 2);
    if (frequency_ >= nyquist_) {
        Change(frequency_, nyquist_ - 1);
    }
    if (bandwidth_ >= nyquist_) {
        Change(bandwidth_, nyquist_ - 1);
    }
    return 1;
}

int CFIR2::SetInstructionSet(CFIR2Kernel::Isa isa) {
    if (!CFIR2Kernel::IsSupported(isa)) {
        return 0;
    }
    isa_ = isa;
    return 1;
}

int CFIR2::SetTaps(int count) {
    if (count < 1 || count > kMaxTaps) {
        return 0;
    }
    return Change(taps_, count);
}

bool CFIR2::MakePlans() {
    const int n = fftSize_;
    work_ = fftwf_alloc_real(std::size_t((n | 1) + 1));
    if (work_ == nullptr) {
        return false;
    }
    auto* spectrum = reinterpret_cast<fftwf_complex*>(work_);
    CnxFftwPlanner::Prepare();
    forward_ = fftwf_plan_dft_r2c_1d(n, work_, spectrum, FFTW_ESTIMATE);
    inverse_ = fftwf_plan_dft_c2r_1d(n, spectrum, work_, FFTW_ESTIMATE);
    plansReady_ = forward_ != nullptr && inverse_ != nullptr;
    if (!plansReady_) {
        DropPlans();
    }
    return plansReady_;
}

void CFIR2::DropPlans() {
    if (forward_ != nullptr) {
        fftwf_destroy_plan(forward_);
    }
    if (inverse_ != nullptr) {
        fftwf_destroy_plan(inverse_);
    }
    forward_ = inverse_ = nullptr;
    fftwf_free(work_);
    work_ = nullptr;
    plansReady_ = false;
}

// The wanted response, bin by bin, into the work buffer. The sign that alternates with the bin
// centres the impulse response in the middle of the N samples.
void CFIR2::FillSpectrum() {
    const int n = fftSize_;
    const int bins = n / 2;
    std::fill_n(work_, (n | 1) + 1, 0.0f);
    double lower = 0;
    double upper = 0;
    switch (type_) {
        case kLowPass:
            upper = frequency_ / nyquist_;
            break;
        case kHighPass:
            lower = frequency_ / nyquist_;
            upper = 1;
            break;
        default:
            lower = std::max(0.0, (frequency_ - bandwidth_ / 2.0) / nyquist_);
            upper = std::min(1.0, (frequency_ + bandwidth_ / 2.0) / nyquist_);
            break;
    }
    const int first = int(n * lower / 2 + 0.5);
    const int last = std::min(bins, int(n * upper / 2 + 0.5));
    auto sign = [](int bin) { return (bin % 2 == 0) ? 1.0f : -1.0f; };

    if (type_ == kBandStop) {
        for (int bin = 0; bin <= bins; ++bin) {
            if (bin < first || bin > last) {
                work_[2 * bin] = sign(bin);
            }
        }
        return;
    }
    const bool sloped = slope_ != 0 && (type_ == kLowPass || type_ == kBandPass);
    if (!sloped) {
        for (int bin = first; bin <= last; ++bin) {
            work_[2 * bin] = sign(bin);
        }
        return;
    }
    // A tilt of `slope` dB per octave above the lower edge.
    auto octaves = [](double hz) { return hz < 1 ? 0.0 : std::log2(hz); };
    const double reference = octaves(lower * nyquist_);
    for (int bin = first; bin <= last; ++bin) {
        const double f = nyquist_ * 2.0 * bin / n;
        const float g = float(std::pow(10.0, (octaves(f) - reference) * slope_ / 20));
        work_[2 * bin] = sign(bin) * g;
        work_[2 * bin + 1] = sign(bin) * g;
    }
}

// Scales the taps so the largest gain of their actual response is 1.
void CFIR2::Normalise(int withResponse) {
    const int n = fftSize_;
    const int start = (n - taps_) / 2;
    std::fill_n(work_, (n | 1) + 1, 0.0f);
    std::copy(coefficients_.begin(), coefficients_.end(), work_ + start);
    fftwf_execute(forward_);
    const int bins = n / 2 + 1;
    float peak = 0;
    for (int bin = 0; bin < bins; ++bin) {
        peak = std::max(peak, std::hypot(work_[2 * bin], work_[2 * bin + 1]));
    }
    const float scale = peak > 0 ? 1 / peak : 1;
    for (float& c : coefficients_) {
        c *= scale;
    }
    if (withResponse) {
        response_.resize(std::size_t(bins));
        for (int bin = 0; bin < bins; ++bin) {
            const float magnitude = std::hypot(work_[2 * bin], work_[2 * bin + 1]) * scale;
            response_[bin] = 20 * std::log10(std::max(magnitude, 1e-9f));
        }
    }
}

// "No filter" passes the signal as it is: one unit tap.
void CFIR2::DesignPassThrough() {
    coefficients_.assign(std::size_t(taps_), 0.0f);
    coefficients_[0] = 1;
    response_.assign(std::size_t(fftSize_ / 2 + 1), 0.0f);
}

int CFIR2::Design(int withResponse) {
    if (designed_) {
        return 1;
    }
    if (taps_ <= 0 || taps_ > fftSize_) {
        return 0;
    }
    if (type_ == kNone) {
        DesignPassThrough();
    } else {
        if (!plansReady_ && !MakePlans()) {
            return 0;
        }
        FillSpectrum();
        fftwf_execute(inverse_);
        const float* middle = work_ + (fftSize_ - taps_) / 2;
        coefficients_.assign(middle, middle + taps_);
        window_.Apply(windowType_, coefficients_.data(), taps_);
        Normalise(withResponse);
    }
    reversed_.assign(coefficients_.rbegin(), coefficients_.rend());
    designed_ = true;
    return 1;
}

void CFIR2::FilterBlock(float* samples, int count) {
    const std::size_t history = std::size_t(taps_ - 1);
    if (line_.size() != history) {  // first use, or the taps changed
        line_.assign(history, 0.0f);
    }
    line_.resize(history + std::size_t(count));
    std::copy_n(samples, count, line_.begin() + std::ptrdiff_t(history));
    CFIR2Kernel::Convolve(isa_, line_.data(), reversed_.data(), taps_, samples, count);
    std::copy(line_.end() - std::ptrdiff_t(history), line_.end(), line_.begin());
    line_.resize(history);
}

void CFIR2::Filter(float* samples, int count) {
    if (samples == nullptr || count <= 0 || !Design(0)) {
        return;
    }
    FilterBlock(samples, count);
}

void CFIR2::FilterFull(float* samples, int count) {
    CFIR2::Filter(samples, count);
}

void CFIR2::Filter(std::int16_t* samples, int count) {
    if (samples == nullptr || count <= 0 || !Design(0)) {
        return;
    }
    scratch_.resize(std::size_t(count));
    for (int i = 0; i < count; ++i) {
        scratch_[i] = samples[i] * (1.0f / 32768);
    }
    FilterBlock(scratch_.data(), count);
    for (int i = 0; i < count; ++i) {
        samples[i] = Saturate16(scratch_[i] * 32768);
    }
}

void CFIR2::ClearHistory() {
    std::fill(line_.begin(), line_.end(), 0.0f);
}
