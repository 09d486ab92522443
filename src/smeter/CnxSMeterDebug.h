#pragma once
// The S-meter panel's meter: the level as a large number with its S-unit, and as a segmented bar
// over an S-unit scale with dBm marks, a peak mark and the squelch threshold's marker. The bar and
// the number glide to each new level (CnxSMeterBallistics). While squelch setting is allowed, a
// press or drag along the bar, or the arrow keys, move the squelch threshold.
#include <QBasicTimer>
#include <QWidget>
#include <functional>

#include "smeter/CnxSMeterBallistics.h"

class CnxSMeterModel;

class CnxSMeterDebug : public QWidget {
public:
    // Draws the model's state; the model outlives the meter.
    CnxSMeterDebug(const CnxSMeterModel& model, QWidget* parent = nullptr);

    // The model's level changed: glide to it, or show that there is no reading.
    void LevelChanged();
    // The number the meter shows, or "no reading".
    QString ReadoutText() const;
    // Anything else the meter shows changed (squelch, attenuator): redraw.
    void StateChanged() { update(); }

    void SetSmoothing(CnxSMeterBallistics::Factors factors) { ballistics_.SetFactors(factors); }
    const CnxSMeterBallistics& Ballistics() const { return ballistics_; }

    // Whether the user may move the squelch threshold here; each move is handed to `onThreshold`.
    void AllowSquelchSetting(bool allow);
    void SetThresholdHandler(std::function<void(double)> onThreshold) {
        onThreshold_ = std::move(onThreshold);
    }
    // Where the bar lies in the widget, and the level under a horizontal position on its scale.
    QRectF BarArea() const { return Geometry().bar; }
    double LevelAtX(double x) const;

    QSize sizeHint() const override { return {260, 92}; }
    QSize minimumSizeHint() const override { return {180, 80}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Layout {
        QRectF readout;
        QRectF bar;
        QRectF scale;
    };
    Layout Geometry() const;
    double XOf(const QRectF& bar, double dbm) const;
    void PaintReadout(QPainter& painter, const QRectF& area) const;
    void PaintBar(QPainter& painter, const QRectF& bar) const;
    void PaintScale(QPainter& painter, const QRectF& bar, const QRectF& scale) const;
    void PaintSquelchMarker(QPainter& painter, const QRectF& bar) const;
    void MoveThreshold(double dbm);

    const CnxSMeterModel& model_;
    CnxSMeterBallistics ballistics_;
    QBasicTimer frameTimer_;
    bool squelchSettable_ = false;
    std::function<void(double)> onThreshold_;
};
