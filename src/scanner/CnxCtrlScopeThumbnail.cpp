#include "scanner/CnxCtrlScopeThumbnail.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "scanner/CnxScopePainter.h"
#include "scanner/CnxSweepHistoryPainter.h"
#include "scanner/ScopeView.h"
#include "ui/TmyColorScheme.h"

namespace {
constexpr int kPadding = 3;
// The bars take this share of the height, the history the rest.
constexpr double kBarShare = 0.6;
constexpr int kFewestHistoryRows = 6;
}  // namespace

CnxCtrlScopeThumbnail::CnxCtrlScopeThumbnail(QWidget* parent, const ScopeView& levels,
                                             const CnxSweepHistory& history)
    : QWidget(parent), levels_(levels), history_(history) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

QSize CnxCtrlScopeThumbnail::minimumSizeHint() const {
    const int line = fontMetrics().height();
    return {200, 2 * line + kFewestHistoryRows * kRowHeight + 4 * kPadding + 24};
}

QSize CnxCtrlScopeThumbnail::sizeHint() const {
    return {480, 150};
}

CnxCtrlScopeThumbnail::Areas CnxCtrlScopeThumbnail::Layout() const {
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const int scaleWidth = metrics.horizontalAdvance(QStringLiteral("-120")) + 2 * kPadding;
    const QRect inner = rect().adjusted(kPadding, kPadding, -kPadding, -kPadding);
    const int barsHeight = int((inner.height() - line - kPadding) * kBarShare);
    Areas areas;
    areas.bars = QRect(inner.left() + scaleWidth, inner.top() + line / 2,
                       inner.width() - scaleWidth, std::max(barsHeight - line / 2, 1));
    areas.scale = QRect(inner.left(), inner.top(), scaleWidth - kPadding, barsHeight + line / 2);
    areas.axis = QRect(areas.bars.left(), areas.bars.bottom() + 1, areas.bars.width(), line);
    areas.history = QRect(QPoint(areas.bars.left(), areas.axis.bottom() + kPadding),
                          QPoint(areas.bars.right(), inner.bottom()));
    return areas;
}

QRect CnxCtrlScopeThumbnail::GetBarPlot() const {
    return Layout().bars;
}

QRect CnxCtrlScopeThumbnail::GetHistoryPlot() const {
    return Layout().history;
}

void CnxCtrlScopeThumbnail::paintEvent(QPaintEvent*) {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    const Areas areas = Layout();
    QPainter painter(this);
    painter.fillRect(rect(), scheme.panel);
    painter.fillRect(areas.bars, scheme.plot);
    // The scale's ends only: the full view has the rest.
    const int line = painter.fontMetrics().height();
    painter.setPen(scheme.textSecondary);
    for (const int depth : {0, int(ScopeView::kMaxDepth)}) {
        const int y = int(std::lround(CnxScopePainter::DepthY(areas.bars, depth)));
        painter.drawText(QRect(areas.scale.left(), y - line / 2, areas.scale.width(), line),
                         Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(int(ScopeView::kTopDbm) - depth));
    }
    PaintBars(painter, areas);
    PaintChannelNumbers(painter, areas);
    const ScopeAxis whole(areas.history, 0, levels_.GetPointCount());
    CnxSweepHistoryPainter::PaintRows(painter, history_, whole, kRowHeight, areas.history,
                                      scheme.plot);
}

void CnxCtrlScopeThumbnail::PaintBars(QPainter& painter, const Areas& areas) const {
    const TmyColorScheme& scheme = TmyColorScheme::Default();
    const ScopeAxis axis(areas.bars, 0, levels_.GetPointCount());
    const double slot = axis.GetSlotWidth();
    const double gap = slot >= 4.0 ? 1.0 : 0.0;
    const double width = std::max(1.0, slot - 2 * gap);
    for (int i = 0; i < levels_.GetPointCount(); ++i) {
        if (const auto level = levels_.GetLevel(i)) {
            const double y = CnxScopePainter::DepthY(areas.bars, ScopeView::kTopDbm - *level);
            painter.fillRect(QRectF(axis.SlotLeft(i) + gap, y, width, areas.bars.bottom() + 1 - y),
                             scheme.level);
        }
    }
}

void CnxCtrlScopeThumbnail::PaintChannelNumbers(QPainter& painter, const Areas& areas) const {
    // Every k-th point, k keeping the numbers well apart.
    const ScopeAxis axis(areas.bars, 0, levels_.GetPointCount());
    const QFontMetrics metrics = painter.fontMetrics();
    const int textWidth = metrics.horizontalAdvance(QStringLiteral("99")) * 2;
    const int every = std::max(1, int(std::ceil(textWidth / std::max(axis.GetSlotWidth(), 1e-3))));
    painter.setPen(TmyColorScheme::Default().textSecondary);
    for (int i = 0; i < levels_.GetPointCount(); i += every) {
        const int channel = ScopeReadOut::ChannelOf(levels_.GetPointFrequency(i));
        if (channel < 0) {
            continue;
        }
        // Under its bar, and never out past the plot's ends into the scale.
        const QString text = QString::number(channel);
        const int width = metrics.horizontalAdvance(text);
        const int left = int(std::lround(axis.CentreX(i))) - width / 2;
        if (left >= areas.bars.left() && left + width <= areas.bars.right() + 1) {
            painter.drawText(QRect(left, areas.axis.top(), width, areas.axis.height()),
                             Qt::AlignCenter, text);
        }
    }
}
