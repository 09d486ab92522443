#pragma once
// The levels of one receiver's scan as its bar graph holds them, with the markers pinned on it.
// There is one point per scan step, laid out by the same walk the receiver sweeps with, so the
// n-th level of a sweep belongs to the n-th frequency the receiver measured. Levels are kept as
// "LevelDepth": dB below -40 dBm, clamped to 0 ... 80 (-40 ... -120 dBm). Per point it keeps the
// latest level and, over the sweeps, the weakest (deepest) and strongest (shallowest) one.
// It has no widget: the window that shows it is told through InxScopeDisplay what to repaint,
// and only while it is visible.
#include <QPoint>
#include <QRect>
#include <climits>
#include <memory>
#include <optional>
#include <vector>

#include "receiver/CnxScanStepper.h"
#include "scanner/InxScopeDisplay.h"
#include "scanner/ScopeAxis.h"
#include "scanner/ScopeReadOut.h"
#include "scanner/SnxScopeMarker.h"
#include "scanner/TMarker.h"

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

    // Ignored (false) while running, with a negative edge, an upper edge below the lower or a
    // step that is not positive. The same range without force only starts the next sweep at point
    // 0 and keeps every level; anything else clears all levels.
    bool SetRange(int64_t start, int64_t end, int64_t step, bool force);
    int64_t GetStart() const { return stepper_.GetLower(); }
    int64_t GetEnd() const { return stepper_.GetUpper(); }
    int64_t GetStep() const { return stepper_.GetStep(); }
    int GetPointCount() const { return stepper_.GetPointCount(); }
    int64_t GetPointFrequency(int index) const { return stepper_.GetPointFrequency(index); }
    // Where a frequency lies among the points, as a fractional index.
    double PositionOf(int64_t hertz) const;

    // Levels are taken only while running. A level that is NaN (a failed reading) moves the sweep
    // past its point and leaves what the point held.
    void SetRunning(bool running);
    bool IsRunning() const { return running_; }
    void AddLevel(double dbm);
    // Forgets every level; false (and nothing happens) while running.
    bool Clear();
    int GetPosition() const { return position_; }
    int GetCount() const { return count_; }
    int GetFilled() const { return filled_; }
    int GetMinMaxValid() const { return minMaxValid_; }
    // In dBm; nothing where the point holds no reading (the min and max need two sweeps).
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

private:
    void Reallocate();
    void FitVisiblePart();
    void UpdateAxis();
    void NotifyVisiblePart() const;
    void LayoutMarkers();
    void StoreDepth(float depth);
    void FollowNewPoint();
    bool InRange(int64_t hertz) const { return hertz >= GetStart() && hertz <= GetEnd(); }
    std::optional<double> DbmAt(const std::vector<float>& depths, int index, int valid) const;

    InxScopeDisplay* display_ = nullptr;
    CnxScanStepper stepper_;
    std::vector<float> level_;
    std::vector<float> deepest_;
    std::vector<float> shallowest_;
    int position_ = 0;
    int count_ = 0;
    int filled_ = 0;
    int minMaxValid_ = 0;
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
};
