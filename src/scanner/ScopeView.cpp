#include "scanner/ScopeView.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// Labels stacked where they would overlap keep this much air between them.
constexpr int kLabelGap = 2;
// Without a window to measure text, labels are sized as a small fixed-pitch font would set them.
constexpr InxScopeDisplay::TextExtent kEstimatedCharacter{7, 13, 13};
}  // namespace

ScopeView::ScopeView() {
    Reallocate();
}

ScopeView::~ScopeView() = default;

void ScopeView::SetDisplay(InxScopeDisplay* display) {
    display_ = display;
    // Label sizes follow the window's font.
    for (const auto& marker : markers_) {
        marker->Layout();
    }
    LayoutMarkers();
}

bool ScopeView::SetRange(int64_t start, int64_t end, int64_t step, bool force) {
    if (step > std::numeric_limits<int32_t>::max()) {
        return false;
    }
    return SetWalk(CnxScanStepper(start, end, step), force);
}

bool ScopeView::SetWalk(const CnxScanStepper& walk, bool force) {
    if (run_ != 0 || !walk.IsValid()) {
        return false;
    }
    const bool samePoints = !force && walk.SameRange(stepper_);
    stepper_ = walk;
    if (!samePoints) {
        Reallocate();
        inRange_.clear();
        for (const auto& marker : markers_) {
            if (InRange(marker->GetFrequency())) {
                inRange_.push_back(marker.get());
            }
        }
    }
    LayoutMarkers();
    RefreshReadOut();
    ScheduleRepaint();
    return true;
}

void ScopeView::Reallocate() {
    const auto n = size_t(GetPointCount());
    points_.assign(n, Point{});
    position_ = 0;
    FitVisiblePart();
}

double ScopeView::PositionOf(int64_t hertz) const {
    const int n = GetPointCount();
    const double step = double(GetStep());
    // The last point at or below the frequency; between two points the position is proportional,
    // which also spreads the band gap over the space between its neighbours.
    int below = 0;
    int above = n;
    while (below < above) {
        const int middle = (below + above) / 2;
        if (GetPointFrequency(middle) <= hertz) {
            below = middle + 1;
        } else {
            above = middle;
        }
    }
    const int i = below - 1;
    if (i < 0) {
        return double(hertz - GetPointFrequency(0)) / step;
    }
    const double offset = double(hertz - GetPointFrequency(i));
    if (i == n - 1) {
        return i + offset / step;
    }
    return i + offset / double(GetPointFrequency(i + 1) - GetPointFrequency(i));
}

void ScopeView::SetRunning(bool running) {
    running_ = running;
    if (!running) {
        RefreshReadOut();
    }
}

void ScopeView::SetRun(uint16_t run) {
    run_ = run;
}

float ScopeView::LevelDepth(double dbm) {
    return float(std::clamp(kTopDbm - dbm, 0.0, double(kMaxDepth)));
}

bool ScopeView::AddLevel(const ScanSample& sample) {
    // A sample of another run (one that has ended, however late it comes) or of a point this
    // pass does not have is dropped.
    if (run_ == 0 || sample.run != run_ || sample.point < 0 || sample.point >= GetPointCount()) {
        return false;
    }
    position_ = sample.point;
    Point& point = points_[size_t(sample.point)];
    CountSweep(point, sample);
    if (sample.HasLevel()) {
        StoreDepth(point, LevelDepth(sample.level));
    }
    FollowNewPoint();
    return true;
}

void ScopeView::CountSweep(Point& point, const ScanSample& sample) {
    // A point measured again within a sweep (a priority channel, a resumed radio) counts once;
    // a sweep of this run or an earlier one counts, also when its reading failed.
    if (point.sweeps == 0 || sample.run != point.lastRun || sample.sweep != point.lastSweep) {
        point.sweeps = point.sweeps == UINT16_MAX ? point.sweeps : uint16_t(point.sweeps + 1);
        point.lastRun = sample.run;
        point.lastSweep = sample.sweep;
    }
}

void ScopeView::StoreDepth(Point& point, float depth) {
    // Within the first sweep over a point (or after failed readings there) the extremes simply
    // follow the level; from the second sweep on they accumulate.
    if (point.sweeps < 2 || std::isnan(point.deepest)) {
        point.deepest = point.shallowest = depth;
    } else {
        point.deepest = std::max(point.deepest, depth);
        point.shallowest = std::min(point.shallowest, depth);
    }
    point.level = depth;
}

void ScopeView::FollowNewPoint() {
    if (zoom_ > 1.0) {
        if (position_ < first_) {
            ScrollToIndex(position_);
        } else if (position_ >= first_ + visibleCount_) {
            ScrollToIndex(position_ - visibleCount_ + 1);
        }
    }
    if (display_ != nullptr && visible_ && axis_.Shows(position_)) {
        display_->SchedulePointRepaint(position_);
    }
}

bool ScopeView::Clear() {
    if (running_) {
        return false;
    }
    std::fill(points_.begin(), points_.end(), Point{});
    position_ = 0;
    RefreshReadOut();
    ScheduleRepaint();
    return true;
}

std::optional<double> ScopeView::DbmOf(float depth) {
    if (std::isnan(depth)) {
        return std::nullopt;
    }
    return kTopDbm - double(depth);
}

bool ScopeView::HasReadings() const {
    return std::any_of(points_.begin(), points_.end(),
                       [](const Point& p) { return !std::isnan(p.level); });
}

bool ScopeView::HasExtremes(int index) const {
    return index >= 0 && index < GetPointCount() && !IsLockedOut(index) &&
           points_[size_t(index)].sweeps >= 2;
}

std::optional<double> ScopeView::GetLevel(int index) const {
    if (index < 0 || index >= GetPointCount() || IsLockedOut(index)) {
        return std::nullopt;
    }
    return DbmOf(points_[size_t(index)].level);
}

std::optional<double> ScopeView::GetMin(int index) const {
    if (!HasExtremes(index)) {
        return std::nullopt;
    }
    return DbmOf(points_[size_t(index)].deepest);
}

std::optional<double> ScopeView::GetMax(int index) const {
    if (!HasExtremes(index)) {
        return std::nullopt;
    }
    return DbmOf(points_[size_t(index)].shallowest);
}

void ScopeView::SetPlot(const QRect& plot) {
    plot_ = plot;
    UpdateAxis();
    LayoutMarkers();
    RefreshReadOut();
}

ScopeAxis ScopeView::AxisFor(const QRect& plot) const {
    return ScopeAxis(plot, first_, visibleCount_);
}

void ScopeView::UpdateAxis() {
    axis_ = AxisFor(plot_);
}

void ScopeView::FitVisiblePart() {
    const int n = GetPointCount();
    const int fewest = std::min(n, kMinVisiblePoints);
    visibleCount_ = std::clamp(int(std::lround(n / zoom_)), fewest, n);
    first_ = std::clamp(first_, 0, n - visibleCount_);
    UpdateAxis();
    NotifyVisiblePart();
}

void ScopeView::NotifyVisiblePart() const {
    if (display_ != nullptr) {
        display_->VisiblePartChanged();
    }
}

void ScopeView::SetZoom(double factor, int anchorIndex) {
    const int n = GetPointCount();
    const double most = std::max(1.0, double(n) / kMinVisiblePoints);
    const int oldFirst = first_;
    const int oldCount = visibleCount_;
    zoom_ = std::clamp(factor, 1.0, most);
    visibleCount_ = std::clamp(int(std::lround(n / zoom_)), std::min(n, kMinVisiblePoints), n);
    // The anchor keeps its share of the visible part, and stays in it.
    const double share = std::clamp((anchorIndex - oldFirst + 0.5) / oldCount, 0.0, 1.0);
    const int first = int(std::floor(anchorIndex + 0.5 - share * visibleCount_));
    const int shown = std::clamp(first, anchorIndex - visibleCount_ + 1, anchorIndex);
    first_ = std::clamp(shown, 0, n - visibleCount_);
    if (first_ != oldFirst || visibleCount_ != oldCount) {
        UpdateAxis();
        Relayout();
        RefreshReadOut();
        NotifyVisiblePart();
    }
}

void ScopeView::ScrollToIndex(int first) {
    const int clamped = std::clamp(first, 0, GetPointCount() - visibleCount_);
    if (clamped != first_) {
        first_ = clamped;
        UpdateAxis();
        Relayout();
        RefreshReadOut();
        NotifyVisiblePart();
    }
}

void ScopeView::ScrollTo(int64_t hertz) {
    ScrollToIndex(int(std::ceil(PositionOf(hertz))));
}

void ScopeView::SetCursor(int x) {
    cursorX_ = x;
    RefreshReadOut();
}

void ScopeView::RefreshReadOut() {
    if (running_) {
        return;
    }
    ScopeReadOut readOut = ReadOutAt(RawFrequencyAt(cursorX_));
    if (readOut != readOut_) {
        readOut_ = std::move(readOut);
        if (display_ != nullptr && visible_) {
            display_->ReadOutChanged();
        }
    }
}

int64_t ScopeView::RawFrequencyAt(int x) const {
    const int64_t step = GetStep();
    const int64_t visibleStart = GetStart() + int64_t(first_) * step;
    const double slot = axis_.GetSlotWidth();
    if (slot <= 0.0) {
        return visibleStart;
    }
    // Point centres stand for their frequencies, so the slot's left edge is half a step below.
    const int left = plot_.left();
    const int clampedX = std::clamp(x, left, std::max(left, plot_.right()));
    return visibleStart + int64_t((clampedX - left - slot / 2) * double(step) / slot);
}

int ScopeView::IndexOfRawFrequency(int64_t raw) const {
    const int64_t step = GetStep();
    const int64_t i = (raw - GetStart() + step / 2) / step;
    return int(std::clamp<int64_t>(i, 0, GetPointCount() - 1));
}

ScopeReadOut ScopeView::ReadOutAt(int64_t raw) const {
    const int i = IndexOfRawFrequency(raw);
    ScopeReadOut readOut = ScopeReadOut::Bare(GetPointFrequency(i));
    if (const SnxPointActivity heard = GetActivity(i); heard.hits > 0) {
        readOut.activity = ScopeReadOut::ActivityLine(heard.hits, heard.lastUtcMs);
    }
    if (IsLockedOut(i)) {
        readOut.level = QStringLiteral("Signal Level: locked out");
    } else if (const auto level = GetLevel(i)) {
        readOut.level = ScopeReadOut::LevelLine(*level);
    }
    const auto min = GetMin(i);
    const auto max = GetMax(i);
    if (min && max) {
        readOut.min = QString::asprintf("Min: %.1f dBm", *min);
        readOut.max = QString::asprintf("Max: %.1f dBm", *max);
        readOut.spread = QString::asprintf("Max-Min: %.1f dB", *max - *min);
    }
    return readOut;
}

TMarker* ScopeView::AddMarker(int64_t hertz, const QString& comment, uint32_t rgb) {
    if (hertz < 0 || GetMarkerRoom() <= 0) {
        return nullptr;
    }
    auto marker = std::make_unique<TMarker>(this);
    marker->SetFrequency(hertz);
    marker->SetComment(comment);
    marker->SetRgb(rgb);
    TMarker* added = marker.get();
    markers_.push_back(std::move(marker));
    if (InRange(hertz)) {
        inRange_.push_back(added);
    }
    Relayout();
    return added;
}

void ScopeView::RemoveMarker(TMarker* marker) {
    std::erase(inRange_, marker);
    const auto erased = std::erase_if(
        markers_, [marker](const std::unique_ptr<TMarker>& held) { return held.get() == marker; });
    if (erased != 0) {
        Relayout();
    }
}

void ScopeView::DeleteAllObjects() {
    inRange_.clear();
    markers_.clear();
    Relayout();
}

TMarker* ScopeView::GetMarker(int index) const {
    return index >= 0 && index < GetMarkerCount() ? markers_[size_t(index)].get() : nullptr;
}

std::vector<SnxScopeMarker> ScopeView::GetMarkerRecords() const {
    std::vector<SnxScopeMarker> records;
    records.reserve(markers_.size());
    for (const auto& marker : markers_) {
        records.push_back(marker->ToRecord());
    }
    return records;
}

TMarker* ScopeView::HitTest(const QPoint& point) const {
    if (!showMarkers_) {
        return nullptr;
    }
    // The one drawn last lies on top.
    for (auto it = inRange_.rbegin(); it != inRange_.rend(); ++it) {
        const TMarker* marker = *it;
        if (marker->IsPlaced() && (std::abs(point.x() - marker->GetLineX()) <= 1 ||
                                   marker->GetLabelRect().contains(point))) {
            return *it;
        }
    }
    return nullptr;
}

void ScopeView::SetShowMarkers(bool show) {
    if (show != showMarkers_) {
        showMarkers_ = show;
        ScheduleRepaint();
    }
}

std::vector<ScopeView::MarkerPlacement> ScopeView::PlaceMarkers(const ScopeAxis& axis) const {
    const QRect& plot = axis.GetPlot();
    std::vector<MarkerPlacement> placed;
    for (TMarker* marker : inRange_) {
        const int x = int(std::lround(axis.CentreX(PositionOf(marker->GetFrequency()))));
        if (x >= plot.left() && x <= plot.right()) {
            placed.push_back({marker, x, QRect()});
        }
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const auto& a, const auto& b) { return a.lineX < b.lineX; });
    int rowHeight = 0;
    for (const MarkerPlacement& p : placed) {
        rowHeight = std::max(rowHeight, p.marker->GetLabelSize().height() + kLabelGap);
    }
    // Left to right, each label takes the highest row where it clears the label before it. Labels
    // stay inside the plot: when every row that fits is taken, a label goes to the row that frees
    // up first, over the label there.
    const std::size_t maxRows =
        std::size_t(std::max(1, (plot.height() + kLabelGap) / std::max(rowHeight, 1)));
    std::vector<int> rowEnds;
    for (MarkerPlacement& p : placed) {
        const QSize size = p.marker->GetLabelSize();
        int left = p.lineX + kLabelGap;
        if (left + size.width() > plot.right() + 1) {
            left = p.lineX - kLabelGap - size.width();  // no room on the right: hang to the left
        }
        left =
            std::clamp(left, plot.left(), std::max(plot.left(), plot.right() + 1 - size.width()));
        std::size_t row = 0;
        while (row < rowEnds.size() && rowEnds[row] + kLabelGap > left) {
            ++row;
        }
        if (row == rowEnds.size() && rowEnds.size() == maxRows) {
            row = std::size_t(std::min_element(rowEnds.begin(), rowEnds.end()) - rowEnds.begin());
        } else if (row == rowEnds.size()) {
            rowEnds.push_back(0);
        }
        rowEnds[row] = left + size.width();
        p.label = QRect(QPoint(left, plot.top() + int(row) * rowHeight), size);
    }
    return placed;
}

void ScopeView::LayoutMarkers() {
    for (const auto& marker : markers_) {
        marker->ClearPlacement();
    }
    for (const MarkerPlacement& p : PlaceMarkers(axis_)) {
        p.marker->SetPlacement(p.lineX, p.label);
    }
}

void ScopeView::Relayout() {
    LayoutMarkers();
    ScheduleRepaint();
}

ScopeView::TextExtent ScopeView::MeasureLabel(const QString& text) const {
    if (display_ != nullptr) {
        return display_->MeasureText(text);
    }
    return {kEstimatedCharacter.width * int(text.size()), kEstimatedCharacter.height,
            kEstimatedCharacter.fontHeight};
}

void ScopeView::ScheduleRepaint() const {
    if (display_ != nullptr && visible_) {
        display_->ScheduleRepaint();
    }
}

void ScopeView::SetThreshold(std::optional<double> dbm) {
    if (dbm != threshold_) {
        threshold_ = dbm;
        ScheduleRepaint();
    }
}

void ScopeView::SetActivity(int64_t hertz, const SnxPointActivity& activity) {
    SnxPointActivity& held = activity_[hertz];
    if (held == activity) {
        return;
    }
    held = activity;
    RefreshReadOut();
    ScheduleRepaint();  // the strip lies outside the points' own repaint rectangles
}

SnxPointActivity ScopeView::GetActivity(int index) const {
    if (index < 0 || index >= GetPointCount()) {
        return {};
    }
    const auto found = activity_.find(GetPointFrequency(index));
    return found != activity_.end() ? found->second : SnxPointActivity{};
}
