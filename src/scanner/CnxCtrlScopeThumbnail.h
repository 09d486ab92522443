#pragma once
// A receiver's scan in small, for the overview of all receivers: the bars of its bar graph over
// the whole range, a few channel numbers under them, and its latest sweeps as a strip of
// history below. It draws what the slot's graph and history hold (both lent to it) and paints
// when told to, never on its own.
#include <QWidget>

class CnxSweepHistory;
class ScopeView;

class CnxCtrlScopeThumbnail : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 2;

    CnxCtrlScopeThumbnail(QWidget* parent, const ScopeView& levels, const CnxSweepHistory& history);

    // Where the bars and the history rows are drawn.
    QRect GetBarPlot() const;
    QRect GetHistoryPlot() const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Areas {
        QRect scale;
        QRect bars;
        QRect axis;
        QRect history;
    };
    Areas Layout() const;
    void PaintBars(QPainter& painter, const Areas& areas) const;
    void PaintChannelNumbers(QPainter& painter, const Areas& areas) const;

    const ScopeView& levels_;
    const CnxSweepHistory& history_;
};
