#include "scanner/CnxCtrlSweepHistory.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimerEvent>

#include "scanner/CnxScopePainter.h"
#include "scanner/CnxSweepHistoryPainter.h"
#include "scanner/ScopeView.h"
#include "ui/TmyColorScheme.h"

namespace {
constexpr int kPadding = 4;
// Rows shown at the least: enough to see a signal come and go.
constexpr int kFewestRows = 8;
constexpr int kRowsAsked = 40;
}  // namespace

CnxCtrlSweepHistory::CnxCtrlSweepHistory(QWidget* parent, const ScopeView& points)
    : QWidget(parent), points_(points), history_(points.GetPointCount()) {
    setObjectName(QStringLiteral("SweepHistory"));
    setFont(TmyColorScheme::Default().uiFont());
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setToolTip(
        QStringLiteral("Sweep history: one row per sweep, the newest on top, coloured by "
                       "level. Point at a cell to read it; right-click to export it."));
}

QSize CnxCtrlSweepHistory::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return {320, kFewestRows * kRowHeight + line + 3 * kPadding};
}

QSize CnxCtrlSweepHistory::sizeHint() const {
    return {560, kRowsAsked * kRowHeight + fontMetrics().height() + 3 * kPadding};
}

void CnxCtrlSweepHistory::AddSample(const ScanSample& sample, int64_t utcMs) {
    if (history_.Add(sample, utcMs)) {
        RowAdded();
    }
}

void CnxCtrlSweepHistory::EndSweep() {
    if (history_.EndSweep()) {
        RowAdded();
    }
}

void CnxCtrlSweepHistory::RestartWith(int points) {
    history_.SetPointCount(points);
    Clear();
}

void CnxCtrlSweepHistory::Clear() {
    history_.Clear();
    repaintTimer_.stop();
    newRows_ = 0;
    SetReadOut({});
    update();
}

void CnxCtrlSweepHistory::FollowVisiblePart() {
    update();
    if (underMouse()) {
        ShowReadOutAt(pointer_);
    }
}

void CnxCtrlSweepHistory::RowAdded() {
    if (!isVisible()) {
        return;  // showing again paints everything
    }
    ++newRows_;
    if (!repaintTimer_.isActive()) {
        repaintTimer_.start(kRepaintDelayMs, this);
    }
}

void CnxCtrlSweepHistory::ShowNewRows() {
    repaintTimer_.stop();
    if (newRows_ == 0) {
        return;
    }
    // Everything moves down by the rows that came in and only they are painted; the first rows
    // replace the note that stood there, and more than fit repaint it all.
    if (history_.GetRowCount() == newRows_ || newRows_ * kRowHeight >= plot_.height()) {
        update(plot_);
    } else {
        scroll(0, newRows_ * kRowHeight, plot_);
    }
    newRows_ = 0;
    if (underMouse()) {
        ShowReadOutAt(pointer_);
    }
}

void CnxCtrlSweepHistory::timerEvent(QTimerEvent* event) {
    if (event->timerId() != repaintTimer_.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    ShowNewRows();
}

void CnxCtrlSweepHistory::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Showing again paints everything anyway.
    repaintTimer_.stop();
    newRows_ = 0;
}

void CnxCtrlSweepHistory::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void CnxCtrlSweepHistory::Layout() {
    // The plot spans what the graph's plot spans, so that every cell lies under its bar.
    const QFontMetrics metrics(font());
    const QRect columns = CnxScopePainter::Layout(rect(), metrics).plot;
    const int line = metrics.height();
    readOutStrip_ = QRect(0, height() - line - kPadding, width(), line + kPadding);
    plot_ = QRect(QPoint(columns.left(), kPadding),
                  QPoint(columns.right(), readOutStrip_.top() - kPadding));
    legend_ = QRect(QPoint(0, plot_.top()), QPoint(plot_.left() - kPadding, plot_.bottom()));
}

ScopeAxis CnxCtrlSweepHistory::Axis() const {
    return points_.AxisFor(plot_);
}

void CnxCtrlSweepHistory::paintEvent(QPaintEvent* event) {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    QPainter painter(this);
    const QRect clip = event->rect();
    painter.fillRect(clip, scheme.panel);
    CnxSweepHistoryPainter::PaintRows(painter, history_, Axis(), kRowHeight, clip, scheme.plot);
    if (clip.intersects(legend_)) {
        CnxSweepHistoryPainter::PaintLegend(painter, legend_, scheme.textSecondary);
    }
    if (history_.GetRowCount() == 0 && clip.intersects(plot_)) {
        painter.setPen(scheme.textSecondary);
        painter.drawText(plot_, Qt::AlignCenter,
                         QStringLiteral("Sweep history: a row for every sweep, the newest on top"));
    }
    if (clip.intersects(readOutStrip_)) {
        painter.setPen(scheme.text);
        painter.drawText(readOutStrip_.adjusted(plot_.left(), 0, 0, 0),
                         Qt::AlignLeft | Qt::AlignVCenter, readOut_);
    }
}

bool CnxCtrlSweepHistory::event(QEvent* event) {
    // The tooltip says what the history is beside the rows, never over the cells it would hide.
    if (event->type() == QEvent::ToolTip &&
        plot_.contains(static_cast<QHelpEvent*>(event)->pos())) {
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void CnxCtrlSweepHistory::mouseMoveEvent(QMouseEvent* event) {
    pointer_ = event->position().toPoint();
    ShowReadOutAt(pointer_);
}

void CnxCtrlSweepHistory::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    pointer_ = {-1, -1};
    SetReadOut({});
}

void CnxCtrlSweepHistory::ShowReadOutAt(const QPoint& position) {
    const bool inPlot = position.x() >= plot_.left() && position.x() <= plot_.right();
    const int row = CnxSweepHistoryPainter::RowAt(history_, plot_, kRowHeight, position.y());
    SetReadOut(inPlot ? CnxSweepHistoryPainter::CellText(history_, points_, row,
                                                         Axis().IndexAt(position.x()))
                      : QString());
}

void CnxCtrlSweepHistory::SetReadOut(const QString& text) {
    if (text != readOut_) {
        readOut_ = text;
        update(readOutStrip_);
    }
}

void CnxCtrlSweepHistory::contextMenuEvent(QContextMenuEvent* event) {
    if (menu_ != nullptr) {
        menu_->exec(event->globalPos());
    }
}
