#include "tuning/CnxCtrlKnob.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <numbers>

#include "ui/TmyColorScheme.h"

namespace {

constexpr int kScaleTicks = 24;  // one per detent, a full turn of the scale
constexpr int kMajorTickEvery = 6;
constexpr double kBodyRadius = 0.74;  // radii as fractions of the dial's radius
constexpr double kDeadCentre = 0.15;

const TmyColorScheme& Scheme() {
    return TmyColorScheme::Default();
}

// A point at `distance` from the centre, `degrees` clockwise from twelve o'clock.
QPointF Polar(QPointF centre, double distance, double degrees) {
    const double radians = degrees * std::numbers::pi / 180.0;
    return centre + QPointF(std::sin(radians), -std::cos(radians)) * distance;
}

bool AltHeld(Qt::KeyboardModifiers modifiers) {
    return modifiers.testFlag(Qt::AltModifier);
}

}  // namespace

CnxCtrlKnob::CnxCtrlKnob(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::OpenHandCursor);
    setToolTip(QString::fromUtf8(
        "Tuning knob — drag around or use the wheel to tune; Up/Down step; fast turns step "
        "×10 or ×100, Alt a tenth"));
    setAccessibleName(QStringLiteral("Tuning knob"));
    // Every turn, whoever causes it, moves the dial's mark.
    repaintOnStep_ = model_.FrequencyKnobChangeStep.Subscribe([this](void*, int32_t) { update(); });
}

CnxCtrlKnob::Dial CnxCtrlKnob::Geometry() const {
    return {QRectF(rect()).center(), std::min(width(), height()) / 2.0 - 1.5};
}

std::optional<double> CnxCtrlKnob::AngleAt(QPointF point) const {
    const Dial dial = Geometry();
    const QPointF offset = point - dial.centre;
    if (std::hypot(offset.x(), offset.y()) < dial.radius * kDeadCentre) {
        return std::nullopt;
    }
    return std::atan2(-offset.y(), offset.x()) * 180.0 / std::numbers::pi;
}

void CnxCtrlKnob::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Dial dial = Geometry();
    PaintScale(painter, dial);
    PaintBody(painter, dial);
}

void CnxCtrlKnob::PaintScale(QPainter& painter, const Dial& dial) const {
    const TmyColorScheme& scheme = Scheme();
    if (hasFocus()) {
        painter.setPen(QPen(scheme.focus, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(dial.centre, dial.radius, dial.radius);
    }
    painter.setPen(
        QPen(isEnabled() ? scheme.textSecondary : scheme.border, 1.0, Qt::SolidLine, Qt::RoundCap));
    const double step = 360.0 / kScaleTicks;
    for (int i = 0; i < kScaleTicks; ++i) {
        const double inner = i % kMajorTickEvery == 0 ? 0.80 : 0.85;
        painter.drawLine(Polar(dial.centre, dial.radius * inner, i * step),
                         Polar(dial.centre, dial.radius * 0.93, i * step));
    }
}

void CnxCtrlKnob::PaintBody(QPainter& painter, const Dial& dial) const {
    const TmyColorScheme& scheme = Scheme();
    const double body = dial.radius * kBodyRadius;
    // Light from the upper left, so the knob reads as a raised cap.
    QRadialGradient shade(dial.centre + QPointF(-0.3, -0.35) * body, body * 1.4);
    shade.setColorAt(0.0, scheme.buttonFace.lighter(isEnabled() ? 160 : 120));
    shade.setColorAt(0.55, scheme.buttonFace);
    shade.setColorAt(1.0, scheme.panel.darker(130));
    painter.setPen(QPen(scheme.border, 1.0));
    painter.setBrush(shade);
    painter.drawEllipse(dial.centre, body, body);

    // Grip lines and the mark turn with the knob, a detent per scale tick.
    const double turned = model_.Position() * CnxKnobModel::kDegreesPerDetent;
    painter.setPen(QPen(scheme.panel.darker(120), 1.0));
    const double gripStep = 360.0 / kScaleTicks;
    for (int i = 1; i < kScaleTicks; ++i) {
        painter.drawLine(Polar(dial.centre, body * 0.82, turned + i * gripStep),
                         Polar(dial.centre, body * 0.96, turned + i * gripStep));
    }
    const QColor mark = isEnabled() ? scheme.display : scheme.lampOff;
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawEllipse(Polar(dial.centre, body * 0.68, turned), body * 0.12, body * 0.12);
}

void CnxCtrlKnob::mousePressEvent(QMouseEvent* event) {
    const auto angle = AngleAt(event->position());
    if (event->button() != Qt::LeftButton || !angle) {
        QWidget::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    dragging_ = true;
    setCursor(Qt::ClosedHandCursor);
    model_.BeginDrag(*angle, static_cast<int64_t>(event->timestamp()));
    event->accept();
}

void CnxCtrlKnob::mouseMoveEvent(QMouseEvent* event) {
    const auto angle = AngleAt(event->position());
    if (!dragging_ || !angle) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    model_.DragTo(*angle, static_cast<int64_t>(event->timestamp()), AltHeld(event->modifiers()));
    event->accept();
}

void CnxCtrlKnob::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragging_) {
        dragging_ = false;
        setCursor(Qt::OpenHandCursor);
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CnxCtrlKnob::Wheel(const QWheelEvent& event) {
    // Some platforms turn Alt+wheel into horizontal motion; either axis turns the knob.
    const QPoint delta = event.angleDelta();
    model_.Wheel(delta.y() != 0 ? delta.y() : delta.x(), AltHeld(event.modifiers()));
}

void CnxCtrlKnob::wheelEvent(QWheelEvent* event) {
    Wheel(*event);
    event->accept();
}

void CnxCtrlKnob::keyPressEvent(QKeyEvent* event) {
    const bool alt = AltHeld(event->modifiers());
    switch (event->key()) {
        case Qt::Key_Up:
            model_.Turn(CnxKnobModel::kDirectionUp, CnxKnobModel::kNoAcceleration, alt);
            break;
        case Qt::Key_Down:
            model_.Turn(CnxKnobModel::kDirectionDown, CnxKnobModel::kNoAcceleration, alt);
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}
