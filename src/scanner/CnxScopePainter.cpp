#include "scanner/CnxScopePainter.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "ui/TmyColorScheme.h"

namespace {
constexpr int kScaleStepDb = 10;
constexpr int kPadding = 4;
constexpr int kReadOutLines = 3;
constexpr int kReadOutColumns = 3;
constexpr int kActivityStripHeight = 4;
// A point with this many hits or more shows its strip at the closed hits' full strength.
constexpr int kActivityFullCount = 8;
}  // namespace

SnxScopeColours SnxScopeColours::Screen() {
    const TmyColorScheme& s = TmyColorScheme::Default();
    return {s.panel,    s.plot,   s.grid,    s.text, s.textSecondary, s.level, s.levelMin,
            s.levelMax, s.border, s.display, 100};
}

SnxScopeColours SnxScopeColours::Print() {
    return {Qt::white,
            Qt::white,
            QColor(0xc8, 0xc8, 0xc8),
            Qt::black,
            QColor(0x50, 0x50, 0x50),
            QColor(0x1a, 0x7f, 0x45),
            QColor(0x1f, 0x4e, 0x9a),
            QColor(0x8a, 0x2b, 0xe2),
            QColor(0xe4, 0xe4, 0xe4),
            QColor(0xb0, 0x6a, 0x00),
            170};
}

CnxScopePainter::Areas CnxScopePainter::Layout(const QRect& rect, const QFontMetrics& metrics) {
    const int line = metrics.height();
    const int scaleWidth = metrics.horizontalAdvance(QStringLiteral("-120 dBm")) + 2 * kPadding;
    Areas areas;
    areas.readOut = QRect(rect.left(), rect.bottom() - kReadOutLines * line - kPadding + 1,
                          rect.width(), kReadOutLines * line + kPadding);
    areas.axis = QRect(rect.left() + scaleWidth, areas.readOut.top() - line, 0, line);
    // Half a line of room above the top label and below the bottom one, where the activity strip
    // lies.
    const int top = rect.top() + line / 2;
    const int bottom = areas.axis.top() - std::max(line / 2, kActivityStripHeight + 2) - 1;
    areas.plot =
        QRect(QPoint(rect.left() + scaleWidth, top), QPoint(rect.right() - kPadding, bottom));
    areas.activity = QRect(areas.plot.left(), bottom + 2, areas.plot.width(), kActivityStripHeight);
    areas.axis.setWidth(areas.plot.width());
    areas.scale = QRect(QPoint(rect.left(), top - line / 2),
                        QPoint(areas.plot.left() - 1, bottom + line / 2));
    return areas;
}

double CnxScopePainter::DepthY(const QRect& plot, double depth) {
    return plot.top() + depth / ScopeView::kMaxDepth * (plot.height() - 1);
}

double CnxScopePainter::DepthAt(const QRect& plot, double y) {
    return (y - plot.top()) * ScopeView::kMaxDepth / std::max(1, plot.height() - 1);
}

std::optional<int> CnxScopePainter::ThresholdY(const QRect& plot, const ScopeView& view) {
    const std::optional<double> dbm = view.GetThreshold();
    if (!dbm) {
        return std::nullopt;
    }
    return int(std::lround(DepthY(plot, ScopeView::LevelDepth(*dbm))));
}

CnxScopePainter::CnxScopePainter(QPainter& painter, const ScopeView& view,
                                 const SnxScopeColours& colours)
    : painter_(painter), view_(view), colours_(colours) {}

void CnxScopePainter::Paint(const Areas& areas, const ScopeAxis& axis, const QRect& clip) {
    painter_.fillRect(clip, colours_.background);
    painter_.fillRect(areas.plot.intersected(clip), colours_.plot);
    PaintScale(areas);
    if (clip.intersects(areas.plot)) {
        const QRect inPlot = clip.intersected(areas.plot);
        PaintBars(axis, axis.IndexAt(inPlot.left()), axis.IndexAt(inPlot.right()));
        if (view_.GetShowMarkers()) {
            PaintMarkers(axis);
        }
        PaintThreshold(areas.plot);
    }
    if (clip.intersects(areas.activity)) {
        PaintActivity(areas.activity, axis);
    }
    if (clip.intersects(areas.axis)) {
        PaintChannelNumbers(areas, axis);
    }
    if (clip.intersects(areas.readOut)) {
        PaintReadOut(areas.readOut);
    }
}

void CnxScopePainter::PaintScale(const Areas& areas) {
    const int line = painter_.fontMetrics().height();
    // A grid line every 10 dB; a label on every one, or on every second or fourth where a short
    // plot has no room for them all (the top and bottom are always labelled).
    const double stepPixels = DepthY(areas.plot, kScaleStepDb) - DepthY(areas.plot, 0);
    int labelEvery = 1;
    while (labelEvery < 8 && labelEvery * stepPixels < line) {
        labelEvery *= 2;
    }
    for (int depth = 0; depth <= int(ScopeView::kMaxDepth); depth += kScaleStepDb) {
        const int y = int(std::lround(DepthY(areas.plot, depth)));
        painter_.setPen(colours_.grid);
        painter_.drawLine(areas.plot.left(), y, areas.plot.right(), y);
        if ((depth / kScaleStepDb) % labelEvery != 0) {
            continue;
        }
        painter_.setPen(colours_.textSecondary);
        const QRect label(areas.scale.left(), y - line / 2, areas.scale.width() - kPadding, line);
        painter_.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                          QStringLiteral("%1 dBm").arg(int(ScopeView::kTopDbm) - depth));
    }
}

void CnxScopePainter::PaintBars(const ScopeAxis& axis, int first, int last) {
    const QRect& plot = axis.GetPlot();
    const double slot = axis.GetSlotWidth();
    // Bars keep a pixel of air between them once there is room for it.
    const double gap = slot >= 4.0 ? 1.0 : 0.0;
    const double width = std::max(1.0, slot - 2 * gap);
    for (int i = first; i <= last; ++i) {
        const double left = axis.SlotLeft(i) + gap;
        if (view_.IsLockedOut(i)) {
            // The slot stays, so the channels beside it keep their places.
            painter_.fillRect(QRectF(left, plot.top(), width, plot.height()), colours_.lockedOut);
            continue;
        }
        if (const auto level = view_.GetLevel(i)) {
            const double y = DepthY(plot, ScopeView::kTopDbm - *level);
            painter_.fillRect(QRectF(left, y, width, plot.bottom() + 1 - y), colours_.level);
        }
        const auto min = view_.GetMin(i);
        const auto max = view_.GetMax(i);
        if (min && max) {
            painter_.fillRect(QRectF(left, DepthY(plot, ScopeView::kTopDbm - *min) - 1, width, 2),
                              colours_.levelMin);
            painter_.fillRect(QRectF(left, DepthY(plot, ScopeView::kTopDbm - *max) - 1, width, 2),
                              colours_.levelMax);
        }
    }
}

void CnxScopePainter::PaintMarkers(const ScopeAxis& axis) {
    const QRect& plot = axis.GetPlot();
    for (const ScopeView::MarkerPlacement& p : view_.PlaceMarkers(axis)) {
        const QRgb rgb = p.marker->GetRgb();
        const QColor colour =
            QColor(qRed(rgb), qGreen(rgb), qBlue(rgb)).darker(colours_.markerShade);
        painter_.setPen(colour);
        painter_.drawLine(p.lineX, plot.top(), p.lineX, plot.bottom());
        painter_.fillRect(p.label, colours_.plot);
        painter_.drawRect(p.label.adjusted(0, 0, -1, -1));
        painter_.drawText(p.label, Qt::AlignCenter, p.marker->GetLabelText());
    }
}

void CnxScopePainter::PaintChannelNumbers(const Areas& areas, const ScopeAxis& axis) {
    // Every k-th visible point, k chosen so that the numbers do not run into each other.
    const int textWidth = painter_.fontMetrics().horizontalAdvance(QStringLiteral("99")) + kPadding;
    const int every = std::max(1, int(std::ceil(textWidth / std::max(axis.GetSlotWidth(), 1e-3))));
    painter_.setPen(colours_.textSecondary);
    const int end = axis.GetFirstVisible() + axis.GetVisibleCount();
    for (int i = axis.GetFirstVisible(); i < end && i < view_.GetPointCount(); i += every) {
        const int channel = ScopeReadOut::ChannelOf(view_.GetPointFrequency(i));
        if (channel < 0) {
            continue;
        }
        const int x = int(std::lround(axis.CentreX(i)));
        painter_.drawText(
            QRect(x - textWidth, areas.axis.top(), 2 * textWidth, areas.axis.height()),
            Qt::AlignCenter, QString::number(channel));
    }
}

void CnxScopePainter::PaintReadOut(const QRect& strip) {
    const ScopeReadOut& r = view_.GetReadOut();
    const QString lines[kReadOutLines][kReadOutColumns] = {
        {r.level, r.frequency, r.channel}, {r.min, r.max, r.spread}, {{}, {}, r.activity}};
    const int line = painter_.fontMetrics().height();
    const int column = strip.width() / kReadOutColumns;
    painter_.setPen(colours_.text);
    for (int row = 0; row < kReadOutLines; ++row) {
        for (int col = 0; col < kReadOutColumns; ++col) {
            const QRect cell(strip.left() + kPadding + col * column, strip.top() + row * line,
                             column - kPadding, line);
            painter_.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, lines[row][col]);
        }
    }
}

void CnxScopePainter::PaintThreshold(const QRect& plot) {
    const std::optional<int> y = ThresholdY(plot, view_);
    if (!y) {
        return;
    }
    QPen pen(colours_.threshold);
    pen.setStyle(Qt::DashLine);
    painter_.setPen(pen);
    painter_.drawLine(plot.left(), *y, plot.right(), *y);
    // Its value just above it at the right, inside the plot.
    const int line = painter_.fontMetrics().height();
    const QRect label(plot.left(), std::max(plot.top(), *y - line), plot.width() - kPadding, line);
    painter_.drawText(label, Qt::AlignRight | Qt::AlignVCenter,
                      QStringLiteral("%1 dBm").arg(*view_.GetThreshold(), 0, 'f', 0));
}

void CnxScopePainter::PaintActivity(const QRect& strip, const ScopeAxis& axis) {
    const int end = axis.GetFirstVisible() + axis.GetVisibleCount();
    for (int i = axis.GetFirstVisible(); i < end && i < view_.GetPointCount(); ++i) {
        const SnxPointActivity heard = view_.GetActivity(i);
        if (heard.hits == 0) {
            continue;
        }
        // Heard now: the level's full green; heard before: fainter, stronger the more often.
        QColor colour = colours_.level;
        if (!heard.open) {
            colour.setAlphaF(0.35f + 0.35f * float(std::min(heard.hits, kActivityFullCount)) /
                                         kActivityFullCount);
        }
        painter_.fillRect(
            QRectF(axis.SlotLeft(i), strip.top(), axis.GetSlotWidth(), strip.height()), colour);
    }
}
