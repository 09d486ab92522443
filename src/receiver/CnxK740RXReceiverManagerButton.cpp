#include "receiver/CnxK740RXReceiverManagerButton.h"

#include <QPainter>

#include "ui/CnxCtrlLamp.h"
#include "ui/TmyColorScheme.h"

namespace {
constexpr int kHeight = 44;
constexpr int kPadding = 8;
constexpr int kLampSize = 11;
constexpr int kFrequencyPixels = 14;
}  // namespace

CnxK740RXReceiverManagerButton::CnxK740RXReceiverManagerButton(const QString& label, bool real,
                                                               QWidget* parent)
    : QAbstractButton(parent),
      real_(real),
      textColor_(TmyColorScheme::FromColorRef(TmyColorScheme::kReceiverTextNormal)) {
    setText(label);
    setFocusPolicy(Qt::TabFocus);  // a click leaves the focus where it was
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void CnxK740RXReceiverManagerButton::SetTextColor(const QColor& color) {
    if (textColor_ != color) {
        textColor_ = color;
        update();
    }
}

void CnxK740RXReceiverManagerButton::SetPressed(bool pressed) {
    if (pressed_ != pressed) {
        pressed_ = pressed;
        update();
    }
}

void CnxK740RXReceiverManagerButton::SetAlarm(bool alarm) {
    if (alarm_ != alarm) {
        alarm_ = alarm;
        update();
    }
}

void CnxK740RXReceiverManagerButton::SetLamp(bool on) {
    if (lamp_ != on) {
        lamp_ = on;
        update();
    }
}

QSize CnxK740RXReceiverManagerButton::sizeHint() const {
    return {150, kHeight};
}

QSize CnxK740RXReceiverManagerButton::minimumSizeHint() const {
    return {110, kHeight};
}

void CnxK740RXReceiverManagerButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintFace(painter);
    PaintText(painter);
    const QRectF lampRect(width() - kPadding - kLampSize, kPadding, kLampSize, kLampSize);
    CnxCtrlLamp::Paint(painter, lampRect, lamp_);
}

void CnxK740RXReceiverManagerButton::PaintFace(QPainter& painter) const {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    QColor face = pressed_ ? scheme.buttonSelectedFace : scheme.buttonFace;
    // Dark enough under the red text; the selected one stays a shade lighter.
    if (alarm_) {
        face = scheme.alarm.darker(pressed_ ? 220 : 320);
    }
    if (isDown() && !pressed_) {
        face = face.lighter(130);
    }
    if (!isEnabled()) {
        face = face.darker(150);
    }
    QColor edge = alarm_ ? scheme.alarm : scheme.border;
    qreal edgeWidth = alarm_ ? 2.0 : 1.0;
    if (hasFocus()) {
        edge = scheme.focus;
        edgeWidth = 2.0;
    } else if (underMouse()) {
        edge = scheme.focus.darker(140);
    }
    painter.setPen(QPen(edge, edgeWidth));
    painter.setBrush(face);
    const qreal inset = edgeWidth / 2;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), 4, 4);
}

// First line: the label, left; second line: the frequency, right-aligned in fixed-width digits.
void CnxK740RXReceiverManagerButton::PaintText(QPainter& painter) const {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    const QString label = text().section(QLatin1Char('\n'), 0, 0);
    const QString frequency = text().section(QLatin1Char('\n'), 1);
    painter.setPen(isEnabled() ? textColor_ : scheme.textSecondary.darker(140));

    QFont labelFont = scheme.uiFont();
    labelFont.setBold(true);
    painter.setFont(labelFont);
    const QRect labelRect(kPadding, 4, width() - 3 * kPadding - kLampSize, height() / 2 - 4);
    painter.drawText(labelRect, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(label, Qt::ElideRight, labelRect.width()));

    painter.setFont(scheme.displayFont(kFrequencyPixels));
    const QRect frequencyRect(kPadding, height() / 2, width() - 2 * kPadding, height() / 2 - 4);
    painter.drawText(frequencyRect, Qt::AlignRight | Qt::AlignVCenter, frequency);
}
