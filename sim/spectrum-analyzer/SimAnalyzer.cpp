#include "SimAnalyzer.h"

#include <cmath>

#include "SimAnalyzerPainter.h"

namespace {

constexpr int kGrabPixels = 4;  // how near a handle the mouse must be to take it
// New spectra ask for a repaint at most this often (30 frames/s).
constexpr std::chrono::milliseconds kFrameInterval{33};

int ClampSide(int32_t side) {
    return std::clamp(side, 0, SimAnalyzerSettings::kMaxViewSide);
}

}  // namespace

SimAnalyzer::SimAnalyzer(int width, int height) {
    settings_.width = ClampSide(width);
    settings_.height = ClampSide(height);
}

int32_t SimAnalyzer::Set(int SimAnalyzerSettings::*field, int32_t value) {
    std::lock_guard guard(lock_);
    settings_.*field = value;
    return 1;
}

int32_t SimAnalyzer::SetFlag(bool SimAnalyzerSettings::*field, int32_t on) {
    std::lock_guard guard(lock_);
    settings_.*field = on != 0;
    return 1;
}

int32_t SimAnalyzer::SetSampleRate(int32_t hz) {
    std::lock_guard guard(lock_);
    settings_.sampleRate = std::clamp(hz, 1000, 384000);
    estimator_.Reset();
    return 1;
}

int32_t SimAnalyzer::SetFftSize(int32_t size) {
    std::lock_guard guard(lock_);
    return estimator_.SetSize(size);
}

int32_t SimAnalyzer::SetOverlap(int32_t percent) {
    std::lock_guard guard(lock_);
    estimator_.SetOverlap(percent);
    return 1;
}

int32_t SimAnalyzer::SetDrawPeak(int32_t on) {
    std::lock_guard guard(lock_);
    settings_.drawPeak = on != 0;
    estimator_.SetPeakHold(on != 0);
    return 1;
}

int32_t SimAnalyzer::SetIFBandwidth(int32_t hz) {
    std::lock_guard guard(lock_);
    settings_.ifBandwidth =
        std::clamp(hz, SimAnalyzerSettings::kMinIFBandwidth, SimAnalyzerSettings::kMaxIFBandwidth);
    return 1;
}

int32_t SimAnalyzer::SetZeroOffset(int32_t hz) {
    std::lock_guard guard(lock_);
    settings_.zeroOffset =
        std::clamp(hz, SimAnalyzerSettings::kMinIFBandwidth, std::max(settings_.Nyquist(), 100));
    return settings_.zeroOffset;
}

int32_t SimAnalyzer::SetZoom(float factor, int32_t centreHz) {
    std::lock_guard guard(lock_);
    settings_.zoom = std::isfinite(factor) ? std::clamp(factor, 1.0f, 64.0f) : 1.0f;
    settings_.zoomCentre = centreHz;
    return 1;
}

int32_t SimAnalyzer::SetColors(const AspectVisColors& colors) {
    std::lock_guard guard(lock_);
    settings_.colors = colors;
    return 1;
}

// The smallest power-of-two size whose bins are no wider than hz.
int32_t SimAnalyzer::SuggestFftSize(int32_t hz) {
    std::lock_guard guard(lock_);
    if (hz <= 0) {
        return estimator_.Size();
    }
    int size = SimSpectrumEstimator::kMinSize;
    while (size < SimSpectrumEstimator::kMaxSize && settings_.sampleRate / size > hz) {
        size *= 2;
    }
    return size;
}

int32_t SimAnalyzer::SetCallback(AspectNotify callback, void* context) {
    std::lock_guard guard(lock_);
    callback_ = callback;
    context_ = context;
    return 1;
}

int32_t SimAnalyzer::SetViewSize(int32_t width, int32_t height) {
    std::lock_guard guard(lock_);
    settings_.width = ClampSide(width);
    settings_.height = ClampSide(height);
    return 1;
}

int32_t SimAnalyzer::GetRange(int32_t* lowHz, int32_t* highHz) {
    if (lowHz == nullptr || highHz == nullptr) {
        return 0;
    }
    std::lock_guard guard(lock_);
    *lowHz = int32_t(std::lround(settings_.LowHz()));
    *highHz = int32_t(std::lround(settings_.LowHz() + settings_.SpanHz()));
    return 1;
}

int32_t SimAnalyzer::Display(const float* samples, int32_t count, bool restart) {
    if (samples == nullptr || count < 0) {
        return 0;
    }
    Notes notes;
    {
        std::lock_guard guard(lock_);
        if (!settings_.enabled || !settings_.playback) {
            return 1;
        }
        // A new frequency starts the average and the peaks afresh.
        if (restart) {
            estimator_.Reset();
        }
        const auto now = std::chrono::steady_clock::now();
        if (estimator_.Feed(samples, count) > 0 && now - lastRedraw_ >= kFrameInterval) {
            lastRedraw_ = now;
            notes.emplace_back(kAspectRedraw, 0);
        }
    }
    Deliver(notes);
    return 1;
}

int32_t SimAnalyzer::Render(std::uint32_t* pixels, int32_t width, int32_t height,
                            int32_t bytesPerLine) {
    std::lock_guard guard(lock_);
    if (pixels == nullptr || width != settings_.width || height != settings_.height || width <= 0 ||
        height <= 0 || bytesPerLine < width * 4) {
        return 0;
    }
    const std::vector<float>& trace =
        settings_.source == 1 ? estimator_.Latest() : estimator_.Average();
    static const std::vector<float> kNoPeak;
    const std::vector<float>& peak = settings_.drawPeak ? estimator_.Peak() : kNoPeak;
    SimAnalyzerPainter::Paint(settings_, trace, peak, pixels, bytesPerLine);
    return 1;
}

int32_t SimAnalyzer::HitTestLocked(int32_t x, int32_t y) const {
    const SimAnalyzerSettings& s = settings_;
    auto near = [x](double hz, const SimAnalyzerSettings& view) {
        return std::abs(x - view.XAt(hz)) <= kGrabPixels;
    };
    if (s.ShowsIF()) {
        const double half = s.ifBandwidth / 2.0;
        if (y < SimAnalyzerPainter::kBracketHeight &&
            (near(s.IFCentre() - half, s) || near(s.IFCentre() + half, s))) {
            return kAspectIFBandwidth;
        }
        if (near(s.IFCentre(), s)) {
            return kAspectIFShift;
        }
    }
    if (s.ShowsFilter()) {
        if (near(s.FilterLow(), s) || near(s.FilterHigh(), s)) {
            return kAspectFilterBandwidth;
        }
        const double hz = s.HzAt(x);
        if (hz > s.FilterLow() && hz < s.FilterHigh()) {
            return kAspectFilterPos;
        }
    }
    return 0;
}

int32_t SimAnalyzer::HitTest(int32_t x, int32_t y) {
    std::lock_guard guard(lock_);
    return HitTestLocked(x, y);
}

int32_t SimAnalyzer::MouseDown(int32_t x, int32_t y) {
    std::lock_guard guard(lock_);
    drag_ = DragState{};
    drag_.target = HitTestLocked(x, y);
    drag_.anchorHz = settings_.HzAt(x);
    drag_.startPos = settings_.filterPos;
    drag_.startShift = settings_.ifShift;
    drag_.lowEdge = std::abs(x - settings_.XAt(settings_.FilterLow())) <
                    std::abs(x - settings_.XAt(settings_.FilterHigh()));
    return drag_.target;
}

// Moves what the drag holds to the mouse's frequency and notes each value that changed.
void SimAnalyzer::Drag(double hz, Notes& notes) {
    SimAnalyzerSettings& s = settings_;
    const int nyquist = s.Nyquist();
    const auto change = [&notes](int& field, int value, int32_t code) {
        if (field != value) {
            field = value;
            notes.emplace_back(code, value);
        }
    };
    switch (drag_.target) {
        case kAspectIFShift: {
            const int limit = s.IFShiftLimit();
            const double shift = drag_.startShift + (hz - drag_.anchorHz);
            change(s.ifShift, int(std::lround(std::clamp(shift, -double(limit), double(limit)))),
                   kAspectIFShift);
            break;
        }
        case kAspectIFBandwidth: {
            const double width = 2 * std::abs(hz - s.IFCentre());
            change(s.ifBandwidth,
                   std::clamp(int(std::lround(width)), SimAnalyzerSettings::kMinIFBandwidth,
                              std::max(s.IFBandwidthLimit(), SimAnalyzerSettings::kMinIFBandwidth)),
                   kAspectIFBandwidth);
            break;
        }
        case kAspectFilterPos: {
            const double half = s.filterBandwidth / 2.0;
            const double pos = drag_.startPos + (hz - drag_.anchorHz);
            change(s.filterPos,
                   int(std::lround(std::clamp(pos, half, std::max(half, nyquist - half)))),
                   kAspectFilterPos);
            break;
        }
        case kAspectFilterBandwidth: {
            // The edge follows the mouse; the other edge stays where it is.
            const int minimum = SimAnalyzerSettings::kMinFilterBandwidth;
            double low = s.FilterLow();
            double high = s.FilterHigh();
            if (drag_.lowEdge) {
                low = std::clamp(hz, 0.0, std::max(0.0, high - minimum));
            } else {
                high = std::clamp(hz, low + minimum, std::max(low + minimum, double(nyquist)));
            }
            change(s.filterBandwidth, int(std::lround(high - low)), kAspectFilterBandwidth);
            change(s.filterPos, int(std::lround((low + high) / 2)), kAspectFilterPos);
            break;
        }
        default:
            break;
    }
}

// Only the column matters: every handle runs the picture's full height.
int32_t SimAnalyzer::MouseMove(int32_t x, int32_t) {
    Notes notes;
    {
        std::lock_guard guard(lock_);
        const int hover = (x >= 0 && x < settings_.width) ? x : -1;
        const bool helperMoved = settings_.readingHelper && hover != settings_.hoverX;
        settings_.hoverX = hover;
        if (drag_.target != 0) {
            Drag(settings_.HzAt(x), notes);
        }
        if (!notes.empty() || helperMoved) {
            notes.emplace_back(kAspectRedraw, 0);
        }
    }
    Deliver(notes);
    return 1;
}

int32_t SimAnalyzer::MouseUp(int32_t x, int32_t y) {
    MouseMove(x, y);
    std::lock_guard guard(lock_);
    drag_ = DragState{};
    return 1;
}

void SimAnalyzer::Deliver(const Notes& notes) {
    if (notes.empty()) {
        return;
    }
    AspectNotify callback;
    void* context;
    {
        std::lock_guard guard(lock_);
        callback = callback_;
        context = context_;
    }
    if (callback == nullptr) {
        return;
    }
    for (const auto& [code, value] : notes) {
        callback(code, value, context);
    }
}
