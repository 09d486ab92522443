#include "spectrum/CWindow.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

const char* const kNames[CWindow::kTypeCount] = {
    "Rectangular", "Hanning",           "Hamming", "Blackman", "Flat Top",  "Bartlett - Hanning",
    "Bartlett",    "Blackman - Harris", "Bohman",  "Gaussian", "Triangular"};

// Weight of sample i of n for the types given by one closed formula. h is n/2 rounded toward zero
// and x runs from -1 at i = 0 towards 1, so the bell shapes peak at i = h, not at the centre.
double FormulaWeight(int type, int i, int n) {
    const int h = n / 2;
    const double x = double(i - h) / h;
    const double last = n - 1;
    switch (type) {
        case CWindow::kHanning:
            return 0.5 + 0.5 * std::cos(kPi * x);
        case CWindow::kHamming:
            return 0.54 + 0.46 * std::cos(kPi * x);
        case CWindow::kBlackman:
            return 0.42 + 0.5 * std::cos(kPi * x) + 0.08 * std::cos(2 * kPi * x);
        case CWindow::kFlatTop:
            return 0.2810639 - 0.5208972 * std::cos(2 * kPi * i / n) +
                   0.1980399 * std::cos(4 * kPi * i / n);
        case CWindow::kBartlettHanning: {
            const double u = i / last - 0.5;
            return 0.62 - 0.48 * std::abs(u) + 0.38 * std::cos(2 * kPi * u);
        }
        case CWindow::kBartlett:
            return i < h ? 2 * i / last : 2 - 2 * i / last;
        case CWindow::kBlackmanHarris:
            return 0.35875 - 0.48829 * std::cos(2 * kPi * i / last) +
                   0.14128 * std::cos(4 * kPi * i / last) - 0.01168 * std::cos(6 * kPi * i / last);
        case CWindow::kGaussian: {
            const double t = 2.5 * (i - h) / h;
            return std::exp(-0.5 * t * t);
        }
        case CWindow::kTriangular: {
            // A symmetric triangle that stays above zero at both ends.
            const double span = (n % 2 == 0) ? n : n + 1;
            return 1 - std::abs(2.0 * i - last) / span;
        }
        default:
            return 1;
    }
}

// Bohman mirrors each weight of the first half onto the second; an odd block's middle sample
// keeps weight 1.
void FillBohman(std::vector<float>& w) {
    const int n = int(w.size());
    const double c = n / 2.0;
    std::fill(w.begin(), w.end(), 1.0f);
    for (int i = 0; i < n / 2; ++i) {
        const double t = std::abs(i - c) / c;
        const float weight = float((1 - t) * std::cos(kPi * t) + std::sin(kPi * t) / kPi);
        w[i] = weight;
        w[n - 1 - i] = weight;
    }
}

std::vector<float> MakeTable(int type, int n) {
    std::vector<float> w(std::size_t(n), 1.0f);
    // A single sample has nothing to taper (the formulas would divide by zero).
    if (n == 1 || type == CWindow::kRectangular) {
        return w;
    }
    if (type == CWindow::kBohman) {
        FillBohman(w);
        return w;
    }
    for (int i = 0; i < n; ++i) {
        w[i] = float(FormulaWeight(type, i, n));
    }
    return w;
}

}  // namespace

const char* CWindow::Name(int type) {
    return (type >= 0 && type < kTypeCount) ? kNames[type] : "N/A";
}

int CWindow::GetName(int type, char* buffer, std::size_t size) {
    const char* name = Name(type);
    const std::size_t length = std::strlen(name);
    if (buffer != nullptr && size > 0) {
        const std::size_t copied = std::min(length, size - 1);
        std::memcpy(buffer, name, copied);
        buffer[copied] = '\0';
    }
    return int(length);
}

const std::vector<float>& CWindow::Weights(int type, int n) {
    const std::pair<int, int> key{type, n};
    if (last_ != nullptr && key == lastKey_) {
        return *last_;
    }
    auto found = tables_.find(key);
    if (found == tables_.end()) {
        if (tables_.size() >= kMaxCachedTables) {
            tables_.clear();
        }
        found = tables_.emplace(key, MakeTable(type, n)).first;
    }
    lastKey_ = key;
    last_ = &found->second;
    return *last_;
}

bool CWindow::Apply(int type, float* samples, int n) {
    if (samples == nullptr || n <= 0 || type < 0 || type >= kTypeCount) {
        return false;
    }
    if (type == kRectangular) {
        return true;
    }
    const float* __restrict w = Weights(type, n).data();
    float* __restrict s = samples;
    for (int i = 0; i < n; ++i) {
        s[i] *= w[i];
    }
    return true;
}
