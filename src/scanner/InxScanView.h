#pragma once
// What the scan controller shows of one receiver slot's scan: the mode on the scan buttons and
// the bar graph, the loop setting, the plan of the scan, the points the graph lays out, and each
// sample at its point.
// The scanner page of the main window is one; tests put a recording view in its place.
#include <cstdint>

#include "core/K740RXMessageRecords.h"

class CnxScanStepper;
struct SnxScanPlan;

class InxScanView {
public:
    // The modes, as the scan buttons have them.
    static constexpr int32_t kModeScan = 1;
    static constexpr int32_t kModePause = 3;
    static constexpr int32_t kModeStop = 4;

    virtual ~InxScanView() = default;

    // The scan's mode and the run whose samples the graph takes (none while stopped).
    virtual void ShowScan(int32_t mode, uint16_t run) = 0;
    virtual void ShowLoop(bool loop) = 0;
    // What the scan covers; its range in channels or in frequencies, as the Channel switch says.
    virtual void ShowPlan(const SnxScanPlan& plan, bool channels) = 0;
    // The points of the next run, as the receiver walks them; levels stay where the points are
    // the same. False when they cannot be laid out.
    virtual bool ShowWalk(const CnxScanStepper& walk) = 0;
    // A sample at its point; false when the graph does not take it (not the shown run).
    virtual bool ShowSample(const ScanSample& sample) = 0;
    // Moves the graph's zoomed part by whole points.
    virtual void ScrollBy(int points) = 0;
};
