#pragma once
// The window of a bar graph: it shows a ScopeView, which it owns, and turns the mouse into the
// read-out, zoom, clicks, the requests for the marker menu and the drags of the activity
// threshold line. Repaints are coalesced: the first
// one asked for starts a 60 ms timer, and when it expires only the pixels that changed are
// repainted, so a fast sweep costs one small paint per tick however many levels arrive.
#include <QBasicTimer>
#include <QWidget>

#include "scanner/CnxScopePainter.h"
#include "scanner/InxScopeDisplay.h"
#include "scanner/ScopeView.h"

class CnxCtrlScopeView : public QWidget, public InxScopeDisplay {
    Q_OBJECT
public:
    static constexpr int kRepaintDelayMs = 60;
    // The wheel zooms by this factor per notch.
    static constexpr double kZoomPerNotch = 1.25;
    // The threshold line is taken by the mouse this many pixels above or below it.
    static constexpr int kThresholdGrip = 3;

    // Named "SpectrumScope" with a number counted over the process.
    explicit CnxCtrlScopeView(QWidget* parent = nullptr);

    ScopeView& GetView() { return view_; }
    const ScopeView& GetView() const { return view_; }
    // Whether a repaint waits for its tick, and the pixels it will cover.
    bool IsRepaintPending() const { return repaintTimer_.isActive(); }
    const QRect& GetPendingRepaint() const { return dirty_; }

    // Draws the picture with print colours into a device, filling it.
    void DrawInto(QPaintDevice& device) const;

    void SchedulePointRepaint(int index) override;
    void ScheduleRepaint() override;
    void ReadOutChanged() override;
    void VisiblePartChanged() override;
    TextExtent MeasureText(const QString& text) const override;

    QSize minimumSizeHint() const override { return {320, 140}; }

signals:
    void ContextMenuRequested(const QPoint& position);
    void DoubleClicked(const QPoint& position);
    void Clicked(const QPoint& position);
    void VisiblePartMoved();
    // The operator drags the activity threshold line to this level.
    void ThresholdDragged(double dbm);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void Schedule(const QRect& area);
    bool IsOnThreshold(const QPoint& position) const;

    ScopeView view_;
    CnxScopePainter::Areas areas_;
    QBasicTimer repaintTimer_;
    QRect dirty_;
    bool draggingThreshold_ = false;
};
