#pragma once
// The walk of a channel scan: from the lower edge in fixed steps, over the gap between the two
// sonobuoy bands, back to the lower edge after the upper one. The receiver steps its sweep with it
// and the bar graph lays out its points with it, so both agree on every point of a pass.
#include <cstdint>
#include <vector>

class CnxScanStepper {
public:
    // A pass longer than this is cut short; a step that small is of no use on this band.
    static constexpr int kMaxPoints = 100000;

    // The whole sonobuoy band in channel steps.
    CnxScanStepper();
    // An invalid range (a negative edge, an upper edge below the lower, a step <= 0) walks nothing.
    CnxScanStepper(int64_t lower, int64_t upper, int64_t step);

    bool IsValid() const { return !points_.empty(); }
    int64_t GetLower() const { return lower_; }
    int64_t GetUpper() const { return upper_; }
    int64_t GetStep() const { return step_; }
    bool SameRange(const CnxScanStepper& other) const;

    // The frequencies one pass measures, in order.
    int GetPointCount() const { return static_cast<int>(points_.size()); }
    int64_t GetPointFrequency(int index) const;

    // The frequency that follows f: one step on, the band gap jumped.
    static int64_t Advance(int64_t frequency, int64_t step);

    // Walking. Restart puts the walk on the lower edge; Next moves it one step and answers whether
    // the scan goes on: after the step that wrapped past the upper edge, only when it loops.
    void Restart();
    bool Next(bool loop);
    int64_t GetCurrent() const { return current_; }
    void SetCurrent(int64_t frequency) { current_ = frequency; }
    // The frequency before the last Next: the one whose reading the pipeline delivers now.
    int64_t GetPrevious() const { return previous_; }
    void SetPrevious(int64_t frequency) { previous_ = frequency; }

private:
    int64_t lower_;
    int64_t upper_;
    int64_t step_;
    std::vector<int64_t> points_;
    int64_t current_;
    int64_t previous_;
    bool wrapped_ = false;
};
