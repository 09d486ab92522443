#pragma once
// The levels of one receiver's scan as its bar graph holds them, with the markers pinned on it.
// There is one point per scan step, laid out by the same walk the receiver sweeps with; every
// sample names its point, so it lands there whatever came before it, and a sample of a run that is
// not the current one is dropped. Levels are kept as "LevelDepth": dB below -40 dBm, clamped to
// 0 ... 80 (-40 ... -120 dBm). Per point it keeps the latest level and, over the sweeps, the
// weakest (deepest) and strongest (shallowest) one.
// It has no widget: the window that shows it is told through InxScopeDisplay what to repaint,
// and only while it is visible.
#include <QPoint>
#include <QRect>
#include <climits>
#include <limits>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "core/K740RXMessageRecords.h"
#include "scanner/InxScopeDisplay.h"
#include "scanner/ScopeAxis.h"
#include "scanner/ScopeReadOut.h"
#include "scanner/SnxPointActivity.h"
#include "scanner/SnxScopeMarker.h"
#include "scanner/TMarker.h"
#include "settings/CnxScanStepper.h"

class ScopeView {
public:
    using TextExtent = InxScopeDisplay::TextExtent;
    static constexpr double kTopDbm = -40.0;
    static constexpr double kBottomDbm = -120.0;
    static constexpr float kMaxDepth = 80.0f;
    // Zoomed in as far as it goes, this many points still show.
    static constexpr int kMinVisiblePoints = 8;

    // The whole sonobuoy band in channel steps.
    ScopeView();
    ~ScopeView();
    ScopeView(const ScopeView&) = delete;
    ScopeView& operator=(const ScopeView&) = delete;

    // The window to tell about repaints; null for none.
    void SetDisplay(InxScopeDisplay* display);

    // Ignored (false) while a run is taken, with a negative edge, an upper edge below the lower or
    // a step that is not positive. The same range without force keeps every level; anything else
    // clears all levels. A walk also says which points are locked out.
    bool SetRange(int64_t start, int64_t end, int64_t step, bool force);
    bool SetWalk(const CnxScanStepper& walk, bool force);
    const CnxScanStepper& GetWalk() const { return stepper_; }
    bool IsLockedOut(int index) const { return stepper_.IsLockedOut(index); }
    int64_t GetStart() const { return stepper_.GetLower(); }
    int64_t GetEnd() const { return stepper_.GetUpper(); }
    int64_t GetStep() const { return stepper_.GetStep(); }
    int GetPointCount() const { return stepper_.GetPointCount(); }
    int64_t GetPointFrequency(int index) const { return stepper_.GetPointFrequency(index); }
    // Where a frequency lies among the points, as a fractional index.
    double PositionOf(int64_t hertz) const;

    // The run whose samples are taken; 0 takes none.
    void SetRun(uint16_t run);
    uint16_t GetRun() const { return run_; }
    // While running the read-out is frozen and the levels cannot be cleared.
    void SetRunning(bool running);
    bool IsRunning() const { return running_; }
    // Places a sample of the current run at its point; false (nothing changes) for any other. A
    // sample without a level (a failed reading) leaves what the point held.
    bool AddLevel(const ScanSample& sample);
    // Forgets every level; false (and nothing happens) while running.
    bool Clear();
    // The point of the latest sample.
    int GetPosition() const { return position_; }
    bool HasReadings() const;
    // In dBm; nothing where the point holds no reading (the min and max need two sweeps) or is
    // locked out.
    std::optional<double> GetLevel(int index) const;
    std::optional<double> GetMin(int index) const;
    std::optional<double> GetMax(int index) const;
    static float LevelDepth(double dbm);

    // Shown on screen: only then are repaints asked for.
    void SetVisible(bool visible) { visible_ = visible; }
    bool IsVisible() const { return visible_; }
    // The plot's pixels on screen; the axis lays the visible points out across them.
    void SetPlot(const QRect& plot);
    const ScopeAxis& GetAxis() const { return axis_; }
    ScopeAxis AxisFor(const QRect& plot) const;
    // Zoom factor 1 shows every point; above 1 a part of the range, keeping the anchor point where
    // it was on screen.
    void SetZoom(double factor, int anchorIndex);
    double GetZoom() const { return zoom_; }
    int GetFirstVisible() const { return first_; }
    int GetVisibleCount() const { return visibleCount_; }
    void ScrollToIndex(int first);
    // The visible part starts at the first point at or above the frequency.
    void ScrollTo(int64_t hertz);

    // The read-out under the cursor: frozen while running.
    void SetCursor(int x);
    void RefreshReadOut();
    const ScopeReadOut& GetReadOut() const { return readOut_; }
    // The frequency under a pixel on the virtual axis of whole steps, the point it falls on, and
    // what the read-out says there.
    int64_t RawFrequencyAt(int x) const;
    int IndexOfRawFrequency(int64_t raw) const;
    ScopeReadOut ReadOutAt(int64_t raw) const;

    // Markers. None for a negative frequency, or when the view holds SnxScopeMarker::kMaxMarkers.
    TMarker* AddMarker(int64_t hertz, const QString& comment, uint32_t rgb);
    void RemoveMarker(TMarker* marker);
    void DeleteAllObjects();
    int GetMarkerCount() const { return int(markers_.size()); }
    int GetMarkerRoom() const { return SnxScopeMarker::kMaxMarkers - GetMarkerCount(); }
    TMarker* GetMarker(int index) const;
    // The markers with start <= frequency <= end, in creation order.
    const std::vector<TMarker*>& GetMarkersInRange() const { return inRange_; }
    std::vector<SnxScopeMarker> GetMarkerRecords() const;
    // The shown marker whose line lies within a pixel of the point, or whose label holds it.
    TMarker* HitTest(const QPoint& point) const;
    void SetShowMarkers(bool show);
    bool GetShowMarkers() const { return showMarkers_; }

    struct MarkerPlacement {
        TMarker* marker;
        int lineX;
        QRect label;
    };
    // Lines at their frequencies, labels at the top of the plot, stacked where they would overlap.
    std::vector<MarkerPlacement> PlaceMarkers(const ScopeAxis& axis) const;
    // After a marker changed: labels are placed anew and everything repainted.
    void Relayout();

    TextExtent MeasureLabel(const QString& text) const;
    void ScheduleRepaint() const;

    // Activity, as the activity log tells it: the threshold line (none: not drawn) and, per
    // frequency, the hits heard there.
    void SetThreshold(std::optional<double> dbm);
    std::optional<double> GetThreshold() const { return threshold_; }
    void SetActivity(int64_t hertz, const SnxPointActivity& activity);
    SnxPointActivity GetActivity(int index) const;

private:
    void Reallocate();
    void FitVisiblePart();
    void UpdateAxis();
    void NotifyVisiblePart() const;
    void LayoutMarkers();
    struct Point {
        float level = std::numeric_limits<float>::quiet_NaN();
        float deepest = std::numeric_limits<float>::quiet_NaN();
        float shallowest = std::numeric_limits<float>::quiet_NaN();
        uint32_t lastSweep = 0;
        uint16_t lastRun = 0;
        uint16_t sweeps = 0;  // sweeps that passed it
    };
    static void CountSweep(Point& point, const ScanSample& sample);
    static void StoreDepth(Point& point, float depth);
    void FollowNewPoint();
    bool InRange(int64_t hertz) const { return hertz >= GetStart() && hertz <= GetEnd(); }
    static std::optional<double> DbmOf(float depth);
    bool HasExtremes(int index) const;

    InxScopeDisplay* display_ = nullptr;
    CnxScanStepper stepper_;
    std::vector<Point> points_;
    int position_ = 0;
    uint16_t run_ = 0;
    bool running_ = false;
    bool visible_ = false;

    QRect plot_;
    ScopeAxis axis_;
    double zoom_ = 1.0;
    int first_ = 0;
    int visibleCount_ = 0;

    int cursorX_ = INT_MIN;  // until the mouse comes, the first visible point
    ScopeReadOut readOut_;

    std::vector<std::unique_ptr<TMarker>> markers_;
    std::vector<TMarker*> inRange_;
    bool showMarkers_ = true;

    std::optional<double> threshold_;
    std::unordered_map<int64_t, SnxPointActivity> activity_;  // by frequency
};
