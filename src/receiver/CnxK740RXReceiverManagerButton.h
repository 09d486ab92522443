#pragma once
// One receiver's button in the receiver list: the receiver's label with an indicator lamp, and the
// tuned frequency on the line below. The list decides its text colour and whether it is pressed.
#include <QAbstractButton>
#include <QColor>

class CnxK740RXReceiverManagerButton : public QAbstractButton {
    Q_OBJECT
public:
    CnxK740RXReceiverManagerButton(const QString& label, bool real, QWidget* parent = nullptr);

    void SetReal(bool real) { real_ = real; }
    bool IsReal() const { return real_; }

    void SetTextColor(const QColor& color);
    QColor GetTextColor() const { return textColor_; }

    // The selected receiver's button stays pressed, with a lit face.
    void SetPressed(bool pressed);
    bool IsPressed() const { return pressed_; }

    void SetLamp(bool on);
    bool IsLampOn() const { return lamp_; }

    // A receiver that lost its radio: the whole button turns red, so it is seen at a glance.
    void SetAlarm(bool alarm);
    bool IsAlarm() const { return alarm_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintFace(QPainter& painter) const;
    void PaintText(QPainter& painter) const;

    bool real_;
    QColor textColor_;
    bool pressed_ = false;
    bool lamp_ = false;
    bool alarm_ = false;
};
