#pragma once
// The sweep history under a bar graph: the waterfall of its sweeps, newest at the top, its cells
// under the bars the graph shows (the history follows the graph's zoom and scroll), the legend of
// the colours on the left where the graph has its dBm scale, and a read-out line at the bottom
// that names the cell under the pointer. It owns the history; the graph's level store lends the
// points. New rows move the picture down and only they are painted, at most once a tick however
// fast the sweeps come.
#include <QBasicTimer>
#include <QWidget>

#include "scanner/CnxSweepHistory.h"
#include "scanner/ScopeAxis.h"

class QMenu;
class ScopeView;

class CnxCtrlSweepHistory : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 3;
    static constexpr int kRepaintDelayMs = 60;

    CnxCtrlSweepHistory(QWidget* parent, const ScopeView& points);

    const CnxSweepHistory& GetHistory() const { return history_; }

    // A sample the graph took, taken at `utcMs`; a sweep it ends joins the picture.
    void AddSample(const ScanSample& sample, int64_t utcMs);
    // The run ended: its last sweep joins the picture.
    void EndSweep();
    // The graph laid out new points: the rows of the old ones are forgotten.
    void RestartWith(int points);
    void Clear();
    // The graph's visible part moved.
    void FollowVisiblePart();
    // The rows that came in since the last tick, shown now rather than at the next one.
    void ShowNewRows();
    bool IsRepaintPending() const { return repaintTimer_.isActive(); }

    // Where the rows are drawn, and the line that names the cell under the pointer.
    QRect GetPlot() const { return plot_; }
    const QString& GetReadOut() const { return readOut_; }
    // The menu a right click opens; null for none.
    void SetContextMenu(QMenu* menu) { menu_ = menu; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void RowAdded();
    void Layout();
    ScopeAxis Axis() const;
    void ShowReadOutAt(const QPoint& position);
    void SetReadOut(const QString& text);

    const ScopeView& points_;
    CnxSweepHistory history_;
    QRect legend_;
    QRect plot_;
    QRect readOutStrip_;
    QPoint pointer_{-1, -1};
    QString readOut_;
    QMenu* menu_ = nullptr;
    QBasicTimer repaintTimer_;
    int newRows_ = 0;  // made since the picture was last moved
};
