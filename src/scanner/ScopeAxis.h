#pragma once
// Where the points of a bar graph lie across its plot: the visible points side by side in slots of
// equal width, the first visible point's slot at the plot's left edge.
#include <QRect>

class ScopeAxis {
public:
    ScopeAxis() = default;
    ScopeAxis(const QRect& plot, int firstVisible, int visibleCount);

    const QRect& GetPlot() const { return plot_; }
    int GetFirstVisible() const { return first_; }
    int GetVisibleCount() const { return visible_; }
    double GetSlotWidth() const { return slot_; }

    bool Shows(int index) const { return index >= first_ && index < first_ + visible_; }
    // Left edge of a point's slot, and the pixels a repaint of the point must cover.
    double SlotLeft(int index) const;
    QRect SlotRect(int index) const;
    // Centre of a point at a fractional position (markers lie between points).
    double CentreX(double position) const;
    // The visible point whose slot holds x (the nearest one beside the plot).
    int IndexAt(double x) const;

private:
    QRect plot_;
    int first_ = 0;
    int visible_ = 1;
    double slot_ = 0.0;
};
