#include "scanner/CnxSweepHistoryPainter.h"

#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstring>
#include <vector>

#include "scanner/CnxSweepColourMap.h"
#include "scanner/CnxSweepHistory.h"
#include "scanner/ScopeView.h"

namespace {
constexpr int kLegendBar = 8;
constexpr int kLegendGap = 4;
}  // namespace

void CnxSweepHistoryPainter::PaintRows(QPainter& painter, const CnxSweepHistory& history,
                                       const ScopeAxis& axis, int rowHeight, const QRect& area,
                                       const QColor& empty) {
    const QRect target = area.intersected(axis.GetPlot());
    if (target.isEmpty()) {
        return;
    }
    // One line of pixels per row, copied down the row's height: each pixel column takes the
    // point whose slot holds its centre.
    std::vector<int> pointOf(std::size_t(target.width()));
    for (int x = 0; x < target.width(); ++x) {
        pointOf[std::size_t(x)] = axis.IndexAt(target.left() + x + 0.5);
    }
    QImage image(target.size(), QImage::Format_RGB32);
    const QRgb background = empty.rgb();
    const int top = axis.GetPlot().top();
    const std::size_t lineBytes = std::size_t(target.width()) * sizeof(QRgb);
    int lineRow = -1;  // the row whose pixels the previous line holds
    for (int y = 0; y < target.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        const int row = (target.top() + y - top) / std::max(rowHeight, 1);
        if (row == lineRow && y > 0) {
            std::memcpy(line, image.constScanLine(y - 1), lineBytes);
            continue;
        }
        lineRow = row;
        const int16_t* levels = history.GetRow(row);
        if (levels == nullptr) {
            std::fill(line, line + target.width(), background);
            continue;
        }
        for (int x = 0; x < target.width(); ++x) {
            const int16_t tenths = levels[pointOf[std::size_t(x)]];
            line[x] = tenths == CnxSweepHistory::kNoReading ? background
                                                            : CnxSweepColourMap::OfTenths(tenths);
        }
    }
    painter.drawImage(target.topLeft(), image);
}

int CnxSweepHistoryPainter::RowAt(const CnxSweepHistory& history, const QRect& plot, int rowHeight,
                                  int y) {
    if (y < plot.top() || y > plot.bottom()) {
        return -1;
    }
    const int row = (y - plot.top()) / std::max(rowHeight, 1);
    return row < history.GetRowCount() ? row : -1;
}

void CnxSweepHistoryPainter::PaintLegend(QPainter& painter, const QRect& area, const QColor& text) {
    const QRect bar(area.right() - kLegendBar + 1, area.top(), kLegendBar, area.height());
    if (bar.height() < 2) {
        return;
    }
    for (int y = bar.top(); y <= bar.bottom(); ++y) {
        const double share = double(bar.bottom() - y) / (bar.height() - 1);
        const int tenths =
            CnxSweepColourMap::kBottomTenths +
            int(share * (CnxSweepColourMap::kTopTenths - CnxSweepColourMap::kBottomTenths));
        painter.setPen(QColor(CnxSweepColourMap::OfTenths(tenths)));
        painter.drawLine(bar.left(), y, bar.right(), y);
    }
    // The top always, the bottom where there is room for two lines, the middle for three.
    const int line = painter.fontMetrics().height();
    std::vector<std::pair<int, int>> labels{{-40, bar.top()}};  // dBm, top of the text
    if (bar.height() >= 2 * line) {
        labels.emplace_back(-120, bar.bottom() - line + 1);
    }
    if (bar.height() >= 3 * line) {
        labels.emplace_back(-80, bar.center().y() - line / 2);
    }
    painter.setPen(text);
    for (const auto& [dbm, top] : labels) {
        const QRect place(area.left(), top, bar.left() - kLegendGap - area.left(), line);
        // The unit once, at the top: the labels below are narrower than the graph's scale.
        painter.drawText(place, Qt::AlignRight | Qt::AlignVCenter,
                         dbm == -40 ? QStringLiteral("-40 dBm") : QString::number(dbm));
    }
}

QString CnxSweepHistoryPainter::CellText(const CnxSweepHistory& history, const ScopeView& points,
                                         int row, int point) {
    if (row < 0 || row >= history.GetRowCount() || point < 0 ||
        point >= std::min(history.GetPointCount(), points.GetPointCount())) {
        return {};
    }
    const int64_t hertz = points.GetPointFrequency(point);
    const int channel = ScopeReadOut::ChannelOf(hertz);
    const auto level = history.GetLevel(row, point);
    const QString separator = QStringLiteral("  \u00b7  ");
    return (channel < 0 ? QStringLiteral("No channel")
                        : QStringLiteral("Channel %1").arg(channel)) +
           separator + ScopeReadOut::FrequencyText(hertz) + separator +
           (level ? QString::asprintf("%.1f dBm", *level) : QStringLiteral("no reading")) +
           separator +
           QDateTime::fromMSecsSinceEpoch(history.GetTime(row), Qt::UTC)
               .toString(QStringLiteral("hh:mm:ss")) +
           QStringLiteral(" UTC");
}
