#include "ui/CnxCtrlLamp.h"

#include <QPainter>
#include <QRadialGradient>

#include "ui/TmyColorScheme.h"

namespace {
constexpr int kDiameter = 12;
}

CnxCtrlLamp::CnxCtrlLamp(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
    setAttribute(Qt::WA_TranslucentBackground);
}

void CnxCtrlLamp::SetOn(bool on) {
    if (on_ != on) {
        on_ = on;
        update();
    }
}

QSize CnxCtrlLamp::sizeHint() const {
    return {kDiameter + 2, kDiameter + 2};
}

void CnxCtrlLamp::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    Paint(painter, QRectF(rect()).adjusted(1, 1, -1, -1), on_);
}

void CnxCtrlLamp::Paint(QPainter& painter, const QRectF& rect, bool on) {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    const QColor face = on ? scheme.lampOn : scheme.lampOff;
    // A lit lamp gets a bright centre so it reads as light, not just as a coloured dot.
    QRadialGradient gradient(rect.center() - QPointF(rect.width() / 6, rect.height() / 6),
                             rect.width() / 1.6);
    gradient.setColorAt(0.0, on ? face.lighter(150) : face.lighter(115));
    gradient.setColorAt(1.0, on ? face : face.darker(130));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(scheme.border.darker(130), 1.0));
    painter.setBrush(gradient);
    painter.drawEllipse(rect);
    painter.restore();
}
