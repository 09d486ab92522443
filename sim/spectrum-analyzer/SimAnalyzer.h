#pragma once
// One analyzer: what it has been told, its spectrum estimate, the picture and the mouse. Every
// operation takes the analyzer's lock, so any thread may call; the notification callback is
// always called after the lock is released, on the thread whose call caused it.
#include <chrono>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

#include "SimAnalyzerSettings.h"
#include "SimSpectrumEstimator.h"

class SimAnalyzer {
public:
    SimAnalyzer(int width, int height);

    // Settings; each returns what the export returns.
    int32_t Set(int SimAnalyzerSettings::*field, int32_t value);
    int32_t SetFlag(bool SimAnalyzerSettings::*field, int32_t on);
    int32_t SetSampleRate(int32_t hz);
    int32_t SetFftSize(int32_t size);
    int32_t SetOverlap(int32_t percent);
    int32_t SetDrawPeak(int32_t on);
    int32_t SetIFBandwidth(int32_t hz);
    int32_t SetZeroOffset(int32_t hz);  // returns the offset taken
    int32_t SetZoom(float factor, int32_t centreHz);
    int32_t SetColors(const AspectVisColors& colors);
    int32_t SuggestFftSize(int32_t hz);
    int32_t SetCallback(AspectNotify callback, void* context);
    int32_t SetViewSize(int32_t width, int32_t height);
    int32_t GetRange(int32_t* lowHz, int32_t* highHz);

    int32_t Display(const float* samples, int32_t count, bool restart);
    int32_t Render(std::uint32_t* pixels, int32_t width, int32_t height, int32_t bytesPerLine);

    int32_t HitTest(int32_t x, int32_t y);
    int32_t MouseDown(int32_t x, int32_t y);
    int32_t MouseMove(int32_t x, int32_t y);
    int32_t MouseUp(int32_t x, int32_t y);

private:
    using Notes = std::vector<std::pair<int32_t, int32_t>>;

    int32_t HitTestLocked(int32_t x, int32_t y) const;
    void Drag(double hz, Notes& notes);
    void Deliver(const Notes& notes);

    struct DragState {
        int32_t target = 0;  // the notification code the drag produces; 0: none
        bool lowEdge = false;
        double anchorHz = 0;
        int startPos = 0;
        int startShift = 0;
    };

    mutable std::mutex lock_;
    SimAnalyzerSettings settings_;
    SimSpectrumEstimator estimator_;
    DragState drag_;
    AspectNotify callback_ = nullptr;
    void* context_ = nullptr;
    std::chrono::steady_clock::time_point lastRedraw_{};
};
