#pragma once
// The tuning knob: a dial turned by dragging around it, by the mouse wheel or by Up/Down while it
// has the focus. Each detent raises FrequencyKnobChangeStep with the signed step; the owner tunes.
#include <QWidget>
#include <optional>

#include "tuning/CnxKnobModel.h"

class CnxCtrlKnob : public QWidget {
    Q_OBJECT

    // First member: the event reference below binds to it.
    CnxKnobModel model_{this};

public:
    explicit CnxCtrlKnob(QWidget* parent = nullptr);

    CnxKnobModel& Model() { return model_; }
    const CnxKnobModel& Model() const { return model_; }

    TmyEventList<int32_t>& FrequencyKnobChangeStep = model_.FrequencyKnobChangeStep;

    void SetStep(int32_t step) { model_.SetStep(step); }
    void SetFixedStep(bool fixed) { model_.SetFixedStep(fixed); }
    void Turn(int direction, int accelerationCode, bool altHeld) {
        model_.Turn(direction, accelerationCode, altHeld);
    }
    void enable(bool flag) { setEnabled(flag); }
    // One rule for the wheel over the knob and over the rest of the window: partial notches add
    // up, Alt divides the step by ten, either axis turns.
    void Wheel(const QWheelEvent& event);

    QSize sizeHint() const override { return {64, 64}; }
    QSize minimumSizeHint() const override { return {40, 40}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Dial {
        QPointF centre;
        double radius;
    };
    Dial Geometry() const;
    // Angle of a point around the centre in degrees, counter-clockwise positive; nullopt too close
    // to the centre, where the angle jumps with every pixel.
    std::optional<double> AngleAt(QPointF point) const;
    void PaintScale(QPainter& painter, const Dial& dial) const;
    void PaintBody(QPainter& painter, const Dial& dial) const;

    bool dragging_ = false;
    TmySubscription repaintOnStep_;
};
