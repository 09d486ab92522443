#pragma once
// A small round indicator lamp, lit or dark, in the scheme's lamp colours. What it means is up to
// the control that shows it.
#include <QWidget>

class QPainter;

class CnxCtrlLamp : public QWidget {
    Q_OBJECT
public:
    explicit CnxCtrlLamp(QWidget* parent = nullptr);

    void SetOn(bool on);
    bool IsOn() const { return on_; }

    // Draws a lamp into `rect`, for controls that paint their own face.
    static void Paint(QPainter& painter, const QRectF& rect, bool on);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool on_ = false;
};
