#include "smeter/CnxSMeterDebug.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "smeter/CnxSMeterModel.h"
#include "ui/TmyColorScheme.h"

namespace {
constexpr double kMargin = 4.0;
constexpr double kReadoutHeight = 34.0;
constexpr double kBarHeight = 14.0;
constexpr double kScaleHeight = 26.0;
constexpr double kSegmentDb = 2.0;  // the bar is drawn in segments of this many dB
constexpr double kDbmMarkStep = 20.0;
constexpr double kKeyStepDb = 1.0;
constexpr double kPageStepDb = 6.0;  // one S-unit
}  // namespace

CnxSMeterDebug::CnxSMeterDebug(const CnxSMeterModel& model, QWidget* parent)
    : QWidget(parent), model_(model), ballistics_(model.GetLevel()) {
    setToolTip(QStringLiteral("Signal level of the selected receiver in dBm and S-units"));
}

void CnxSMeterDebug::LevelChanged() {
    if (!model_.HasReading()) {
        frameTimer_.stop();
        update();
        return;
    }
    ballistics_.SetTarget(model_.GetLevel());
    // A meter nobody sees need not glide; it shows the level at once when it appears.
    if (!isVisible()) {
        ballistics_.Settle();
        return;
    }
    if (!frameTimer_.isActive() && ballistics_.IsMoving()) {
        frameTimer_.start(CnxSMeterBallistics::kFrameMs, this);
    }
    update();
}

void CnxSMeterDebug::timerEvent(QTimerEvent* event) {
    if (event->timerId() != frameTimer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    if (!ballistics_.Step()) {
        frameTimer_.stop();
    }
    update();
}

void CnxSMeterDebug::AllowSquelchSetting(bool allow) {
    squelchSettable_ = allow;
    setFocusPolicy(allow ? Qt::TabFocus : Qt::NoFocus);
    setCursor(allow ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setToolTip(allow ? QStringLiteral("Signal level of the selected receiver in dBm and S-units.\n"
                                      "Click or drag along the bar, or use the arrow keys, to set "
                                      "the squelch threshold")
                     : QStringLiteral("Signal level of the selected receiver in dBm and S-units"));
    update();
}

CnxSMeterDebug::Layout CnxSMeterDebug::Geometry() const {
    const QRectF area = QRectF(rect()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const QRectF readout(area.left(), area.top(), area.width(), kReadoutHeight);
    // The bar leaves room at both ends for the scale's outer labels.
    const double inset = 8.0;
    const QRectF bar(area.left() + inset, readout.bottom() + 6.0, area.width() - 2 * inset,
                     kBarHeight);
    const QRectF scale(area.left(), bar.bottom() + 2.0, area.width(), kScaleHeight);
    return {readout, bar, scale};
}

double CnxSMeterDebug::XOf(const QRectF& bar, double dbm) const {
    return bar.left() + CnxSMeterScale::Position(dbm) * bar.width();
}

double CnxSMeterDebug::LevelAtX(double x) const {
    const QRectF bar = Geometry().bar;
    return CnxSMeterScale::LevelAt((x - bar.left()) / bar.width());
}

void CnxSMeterDebug::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Layout layout = Geometry();
    PaintReadout(painter, layout.readout);
    PaintBar(painter, layout.bar);
    PaintScale(painter, layout.bar, layout.scale);
    if (squelchSettable_) {
        PaintSquelchMarker(painter, layout.bar);
    }
    if (hasFocus()) {
        painter.setPen(QPen(TmyColorScheme::Default().focus, 1.0, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(layout.bar.adjusted(-3, -3, 3, 3), 3, 3);
    }
}

QString CnxSMeterDebug::ReadoutText() const {
    return model_.HasReading() ? QString::asprintf("%.1f", ballistics_.Readout())
                               : QStringLiteral("no reading");
}

void CnxSMeterDebug::PaintReadout(QPainter& painter, const QRectF& area) const {
    const TmyColorScheme& s = TmyColorScheme::Default();
    if (!model_.HasReading()) {
        // Dimmed and without a number: nothing here may pass for a level.
        QFont font = s.uiFont();
        font.setPixelSize(16);
        painter.setFont(font);
        painter.setPen(s.textSecondary.darker(140));
        painter.drawText(area, Qt::AlignRight | Qt::AlignVCenter, ReadoutText());
        return;
    }
    const bool enabled = isEnabled();
    const double readout = ballistics_.Readout();

    painter.setFont(s.displayFont(18));
    painter.setPen(enabled ? s.text : s.textSecondary);
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(model_.Scale().Label(readout)));

    QFont unitFont = s.uiFont();
    unitFont.setPixelSize(12);
    const QString unit = QStringLiteral(" dBm");
    const double unitWidth = QFontMetricsF(unitFont).horizontalAdvance(unit);
    painter.setFont(unitFont);
    painter.setPen(s.textSecondary);
    painter.drawText(area, Qt::AlignRight | Qt::AlignBottom, unit);

    painter.setFont(s.displayFont(28));
    painter.setPen(enabled ? s.display : s.textSecondary);
    painter.drawText(area.adjusted(0, 0, -unitWidth, 0), Qt::AlignRight | Qt::AlignVCenter,
                     ReadoutText());
}

void CnxSMeterDebug::PaintBar(QPainter& painter, const QRectF& bar) const {
    const TmyColorScheme& s = TmyColorScheme::Default();
    painter.setPen(QPen(s.border, 1.0));
    painter.setBrush(s.plot);
    painter.drawRoundedRect(bar.adjusted(-1, -1, 1, 1), 2, 2);
    if (!model_.HasReading()) {
        return;  // an empty bar: no level at all, not the bottom of the scale
    }

    const QColor fill = !isEnabled() ? s.lampOff : model_.IsSquelched() ? s.textSecondary : s.level;
    const double end = XOf(bar, ballistics_.Needle());
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRect(QRectF(bar.left(), bar.top(), end - bar.left(), bar.height()));
    // Gaps between segments make the bar's length easy to judge from afar.
    painter.setPen(QPen(s.plot, 1.5));
    for (double dbm = CnxSMeterScale::kMinimum + kSegmentDb; dbm < CnxSMeterScale::kMaximum;
         dbm += kSegmentDb) {
        const double x = XOf(bar, dbm);
        if (x < end) {
            painter.drawLine(QPointF(x, bar.top()), QPointF(x, bar.bottom()));
        }
    }
    const double peak = XOf(bar, ballistics_.Peak());
    if (peak > end + 1.0) {
        painter.setPen(QPen(fill.lighter(130), 2.0));
        painter.drawLine(QPointF(peak, bar.top()), QPointF(peak, bar.bottom()));
    }
}

void CnxSMeterDebug::PaintScale(QPainter& painter, const QRectF& bar, const QRectF& scale) const {
    const TmyColorScheme& s = TmyColorScheme::Default();
    QFont unitFont = s.uiFont();
    unitFont.setPixelSize(11);
    unitFont.setBold(true);
    painter.setFont(unitFont);
    const QFontMetricsF metrics(unitFont);
    double lastRight = -1e9;
    for (const CnxSMeterScale::Unit& unit : model_.Scale().VisibleUnits()) {
        const double x = XOf(bar, unit.dbm);
        painter.setPen(QPen(s.textSecondary, 1.0));
        painter.drawLine(QPointF(x, scale.top()), QPointF(x, scale.top() + 3));
        const QString label = QString::fromStdString(unit.label);
        const double width = metrics.horizontalAdvance(label);
        // Labels that would crowd their neighbour are left out; S9 always shows.
        const bool s9 = unit.label == "S9";
        if (x - width / 2 < lastRight + 3 && !s9) {
            continue;
        }
        painter.setPen(s9 && isEnabled() ? s.text : s.textSecondary);
        painter.drawText(QRectF(x - width / 2 - 1, scale.top() + 3, width + 2, 13), Qt::AlignCenter,
                         label);
        lastRight = x + width / 2;
    }

    QFont dbmFont = s.uiFont();
    dbmFont.setPixelSize(9);
    painter.setFont(dbmFont);
    painter.setPen(s.textSecondary);
    for (double dbm = CnxSMeterScale::kMinimum; dbm <= CnxSMeterScale::kMaximum;
         dbm += kDbmMarkStep) {
        const double x = XOf(bar, dbm);
        const Qt::Alignment align = dbm == CnxSMeterScale::kMinimum   ? Qt::AlignLeft
                                    : dbm == CnxSMeterScale::kMaximum ? Qt::AlignRight
                                                                      : Qt::AlignHCenter;
        const double width = 30.0;
        const double left = align == Qt::AlignLeft    ? x - 6
                            : align == Qt::AlignRight ? x - width + 6
                                                      : x - width / 2;
        painter.drawText(QRectF(left, scale.top() + 15, width, 11), align | Qt::AlignTop,
                         QString::number(int(dbm)));
    }
}

void CnxSMeterDebug::PaintSquelchMarker(QPainter& painter, const QRectF& bar) const {
    const TmyColorScheme& s = TmyColorScheme::Default();
    const double x = XOf(bar, model_.GetSquelchThreshold());
    const bool active = isEnabled() && !model_.GetSquelchDefeat();
    const QColor colour = active ? s.display : s.textSecondary;
    painter.setPen(QPen(colour, 1.0, Qt::DashLine));
    painter.drawLine(QPointF(x, bar.top()), QPointF(x, bar.bottom()));
    QPainterPath triangle;
    triangle.moveTo(x - 5, bar.top() - 6);
    triangle.lineTo(x + 5, bar.top() - 6);
    triangle.lineTo(x, bar.top());
    triangle.closeSubpath();
    painter.setPen(QPen(colour, 1.0));
    painter.setBrush(active ? QBrush(colour) : Qt::NoBrush);
    painter.drawPath(triangle);
}

void CnxSMeterDebug::MoveThreshold(double dbm) {
    if (squelchSettable_ && onThreshold_) {
        onThreshold_(CnxSMeterScale::Clamp(std::round(dbm)));
    }
}

void CnxSMeterDebug::mousePressEvent(QMouseEvent* event) {
    if (squelchSettable_ && event->button() == Qt::LeftButton) {
        MoveThreshold(LevelAtX(event->position().x()));
        return;
    }
    QWidget::mousePressEvent(event);
}

void CnxSMeterDebug::mouseMoveEvent(QMouseEvent* event) {
    if (squelchSettable_ && (event->buttons() & Qt::LeftButton)) {
        MoveThreshold(LevelAtX(event->position().x()));
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void CnxSMeterDebug::keyPressEvent(QKeyEvent* event) {
    const double threshold = model_.GetSquelchThreshold();
    switch (squelchSettable_ ? event->key() : 0) {
        case Qt::Key_Up:
        case Qt::Key_Right:
            MoveThreshold(threshold + kKeyStepDb);
            break;
        case Qt::Key_Down:
        case Qt::Key_Left:
            MoveThreshold(threshold - kKeyStepDb);
            break;
        case Qt::Key_PageUp:
            MoveThreshold(threshold + kPageStepDb);
            break;
        case Qt::Key_PageDown:
            MoveThreshold(threshold - kPageStepDb);
            break;
        case Qt::Key_Home:
            MoveThreshold(CnxSMeterScale::kMinimum);
            break;
        case Qt::Key_End:
            MoveThreshold(CnxSMeterScale::kMaximum);
            break;
        default:
            QWidget::keyPressEvent(event);
    }
}

void CnxSMeterDebug::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QWidget::changeEvent(event);
}
