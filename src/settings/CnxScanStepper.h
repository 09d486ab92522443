#pragma once
// The walk of a channel scan. A pass lays out its points from the lower edge in fixed steps, over
// the gap between the two sonobuoy bands, up to the upper edge; the walk visits them in order,
// skipping points that are locked out, and comes back to a priority point after every few others.
// The receiver steps its sweep with it and the bar graph lays out its points with it, and every
// measurement names the point (and sweep) it belongs to, so both always agree on where a level
// goes.
#include <cstdint>
#include <vector>

// One visit of the walk: the point measured and the sweep (pass) it belongs to.
struct SnxScanVisit {
    int point = 0;
    uint32_t sweep = 0;
    bool operator==(const SnxScanVisit&) const = default;
};

class CnxScanStepper {
public:
    // A pass of more points than this cannot be walked: its step is too fine for the band.
    static constexpr int kMaxPoints = 100000;
    static constexpr int kDefaultPriorityEvery = 8;

    // The whole sonobuoy band in channel steps.
    CnxScanStepper();
    // An invalid range (a negative edge, an upper edge below the lower, a step <= 0, or more than
    // kMaxPoints points) walks nothing.
    CnxScanStepper(int64_t lower, int64_t upper, int64_t step);

    // How many points a range has, counted without laying them out; more than kMaxPoints is
    // reported as kMaxPoints + 1.
    static int CountPoints(int64_t lower, int64_t upper, int64_t step);
    // Whether a range can be walked: at least one point, and no more than kMaxPoints.
    static bool IsWalkable(int64_t lower, int64_t upper, int64_t step);

    bool IsValid() const { return !points_.empty(); }
    int64_t GetLower() const { return lower_; }
    int64_t GetUpper() const { return upper_; }
    int64_t GetStep() const { return step_; }
    bool SameRange(const CnxScanStepper& other) const;

    // The points of one pass, in order of frequency.
    int GetPointCount() const { return static_cast<int>(points_.size()); }
    int64_t GetPointFrequency(int index) const;
    // The point whose frequency is f, or -1.
    int IndexOf(int64_t frequency) const;

    // The frequency that follows f: one step on, the band gap jumped.
    static int64_t Advance(int64_t frequency, int64_t step);

    // Points never measured; a walk with every point locked out walks nothing.
    void SetLockedOut(const std::vector<int>& points);
    bool IsLockedOut(int point) const;
    int GetWalkedCount() const;
    // A point measured again after every `every` other visits; -1 for none.
    void SetPriority(int point, int every);
    int GetPriorityPoint() const { return priority_; }
    int GetPriorityEvery() const { return priorityEvery_; }

    // Walking. Restart puts the walk on the first point of sweep 0; Next moves it to the following
    // visit and answers whether the scan goes on: at the end of a pass, only when it loops (a walk
    // that does not go on stays where it was).
    void Restart();
    bool Next(bool loop);
    SnxScanVisit GetCurrent() const { return {current_.point, current_.sweep}; }
    int64_t GetCurrentFrequency() const { return GetPointFrequency(current_.point); }

private:
    struct Cursor {
        int point = 0;
        uint32_t sweep = 0;
        int regular = 0;  // the walk's place among the regular visits
        int sincePriority = 0;
    };
    int FirstWalked() const;
    int NextWalked(int after) const;
    bool PriorityDue(const Cursor& cursor) const;

    int64_t lower_;
    int64_t upper_;
    int64_t step_;
    std::vector<int64_t> points_;
    std::vector<bool> lockedOut_;
    int priority_ = -1;
    int priorityEvery_ = kDefaultPriorityEvery;
    Cursor current_;
};
