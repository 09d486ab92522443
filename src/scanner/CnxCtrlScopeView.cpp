#include "scanner/CnxCtrlScopeView.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "ui/TmyColorScheme.h"

namespace {
int g_scopeCounter = 0;  // windows are made on the window thread only
}  // namespace

CnxCtrlScopeView::CnxCtrlScopeView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SpectrumScope%1").arg(g_scopeCounter++));
    setFont(TmyColorScheme::Default().uiFont());
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setToolTip(QStringLiteral(
        "Levels of the scan. Point at a bar for its read-out, turn the wheel to zoom, right-click "
        "for markers, double-click a marker to edit it, drag the dashed line to set the activity "
        "threshold."));
    view_.SetDisplay(this);
}

void CnxCtrlScopeView::DrawInto(QPaintDevice& device) const {
    QPainter painter(&device);
    painter.setFont(font());
    const QRect rect(0, 0, device.width(), device.height());
    const CnxScopePainter::Areas areas = CnxScopePainter::Layout(rect, painter.fontMetrics());
    const SnxScopeColours colours = SnxScopeColours::Print();
    CnxScopePainter(painter, view_, colours).Paint(areas, view_.AxisFor(areas.plot), rect);
}

void CnxCtrlScopeView::SchedulePointRepaint(int index) {
    Schedule(view_.GetAxis().SlotRect(index));
}

void CnxCtrlScopeView::ScheduleRepaint() {
    Schedule(rect());
}

void CnxCtrlScopeView::ReadOutChanged() {
    Schedule(areas_.readOut);
}

void CnxCtrlScopeView::VisiblePartChanged() {
    emit VisiblePartMoved();
}

void CnxCtrlScopeView::Schedule(const QRect& area) {
    if (!isVisible()) {
        return;
    }
    dirty_ = dirty_.united(area);
    if (!repaintTimer_.isActive()) {
        repaintTimer_.start(kRepaintDelayMs, this);
    }
}

InxScopeDisplay::TextExtent CnxCtrlScopeView::MeasureText(const QString& text) const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text), metrics.height(), metrics.height()};
}

void CnxCtrlScopeView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != repaintTimer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    repaintTimer_.stop();
    update(dirty_);
    dirty_ = QRect();
}

void CnxCtrlScopeView::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const SnxScopeColours colours = SnxScopeColours::Screen();
    CnxScopePainter(painter, view_, colours).Paint(areas_, view_.GetAxis(), event->rect());
}

void CnxCtrlScopeView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    areas_ = CnxScopePainter::Layout(rect(), QFontMetrics(font()));
    view_.SetPlot(areas_.plot);
}

void CnxCtrlScopeView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    view_.SetVisible(true);
}

void CnxCtrlScopeView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    view_.SetVisible(false);
    // Showing again paints everything anyway.
    repaintTimer_.stop();
    dirty_ = QRect();
}

bool CnxCtrlScopeView::IsOnThreshold(const QPoint& position) const {
    const std::optional<int> y = CnxScopePainter::ThresholdY(areas_.plot, view_);
    return y && areas_.plot.contains(position) && std::abs(position.y() - *y) <= kThresholdGrip;
}

void CnxCtrlScopeView::mousePressEvent(QMouseEvent* event) {
    draggingThreshold_ =
        event->button() == Qt::LeftButton && IsOnThreshold(event->position().toPoint());
}

void CnxCtrlScopeView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (draggingThreshold_) {
        const double depth = CnxScopePainter::DepthAt(areas_.plot, position.y());
        emit ThresholdDragged(ScopeView::kTopDbm -
                              std::clamp(depth, 0.0, double(ScopeView::kMaxDepth)));
        return;
    }
    setCursor(IsOnThreshold(position) ? Qt::SizeVerCursor : Qt::ArrowCursor);
    view_.SetCursor(position.x());
}

void CnxCtrlScopeView::mouseReleaseEvent(QMouseEvent* event) {
    if (draggingThreshold_) {
        draggingThreshold_ = false;  // a drag is no click
        return;
    }
    if (event->button() == Qt::LeftButton && areas_.plot.contains(event->position().toPoint())) {
        emit Clicked(event->position().toPoint());
    }
}

void CnxCtrlScopeView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        emit DoubleClicked(event->position().toPoint());
    }
}

void CnxCtrlScopeView::contextMenuEvent(QContextMenuEvent* event) {
    emit ContextMenuRequested(event->pos());
}

void CnxCtrlScopeView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0) {
        return;
    }
    const int anchor = view_.GetAxis().IndexAt(event->position().x());
    view_.SetZoom(view_.GetZoom() * std::pow(kZoomPerNotch, notches), anchor);
    event->accept();
}
