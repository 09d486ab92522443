#pragma once
// Feeds a bar graph's level store as a receiver's run does: each level at the next visit of the
// store's own walk, named after the run, so tests write sweeps as sequences of levels.
#include "scanner/ScopeView.h"
#include "settings/CnxScanStepper.h"

class ScopeRun {
public:
    // The store takes this run from now on.
    explicit ScopeRun(ScopeView& view, uint16_t id = 1)
        : view_(view), walk_(view.GetWalk()), id_(id) {
        view_.SetRun(id);
        view_.SetRunning(true);
        walk_.Restart();
    }
    bool Add(double dbm) {
        const SnxScanVisit visit = walk_.GetCurrent();
        walk_.Next(true);
        return view_.AddLevel(Sample(visit.point, dbm, visit.sweep));
    }
    void Sweep(int levels, double dbm) {
        for (int i = 0; i < levels; ++i) {
            Add(dbm);
        }
    }
    ScanSample Sample(int point, double dbm, uint32_t sweep = 0) const {
        ScanSample sample;
        sample.run = id_;
        sample.sweep = sweep;
        sample.point = point;
        sample.level = dbm;
        return sample;
    }

private:
    ScopeView& view_;
    CnxScanStepper walk_;
    uint16_t id_;
};

// How many points of the store hold a level.
inline int Filled(const ScopeView& view) {
    int filled = 0;
    for (int i = 0; i < view.GetPointCount(); ++i) {
        filled += view.GetLevel(i).has_value();
    }
    return filled;
}
