#include "app/CnxCtrlScanArea.h"

#include <QPainter>
#include <algorithm>

#include "settings/CnxChannelPlan.h"
#include "ui/TmyColorScheme.h"

namespace {
constexpr double kTop = -30.0;
constexpr double kBottom = -130.0;
constexpr int kScaleWidth = 44;
constexpr int kHeaderHeight = 22;
constexpr int kFooterHeight = 18;
}  // namespace

CnxCtrlScanArea::CnxCtrlScanArea(QWidget* parent) : QWidget(parent) {
    setToolTip(
        QStringLiteral("Channel levels of the selected receiver (Space starts and stops "
                       "the scan)"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

int CnxCtrlScanArea::PositionOf(double frequency) {
    const auto channel = CnxChannelPlan::ChannelOf(int64_t(frequency));
    if (!channel) {
        return -1;
    }
    if (channel->frequency < CnxChannelPlan::kHighBandFirst) {
        return (channel->frequency - CnxChannelPlan::kLowBandFirst) / CnxChannelPlan::kSpacing;
    }
    return CnxChannelPlan::kLowBandCount +
           (channel->frequency - CnxChannelPlan::kHighBandFirst) / CnxChannelPlan::kSpacing;
}

void CnxCtrlScanArea::ShowReceiver(int index) {
    shown_ = std::clamp(index, 0, kSlots - 1);
    update();
}

void CnxCtrlScanArea::StartPass(int index) {
    if (index >= 0 && index < kSlots) {
        levels_[index].fill(std::nullopt);
        update();
    }
}

void CnxCtrlScanArea::AddLevel(int index, double frequency, double dbm) {
    const int position = PositionOf(frequency);
    if (index < 0 || index >= kSlots || position < 0) {
        return;
    }
    levels_[index][position] = dbm;
    if (index == shown_) {
        update();  // repaints coalesce, so a fast scan costs one paint per frame
    }
}

void CnxCtrlScanArea::SetScanning(bool scanning) {
    scanning_ = scanning;
    update();
}

std::optional<double> CnxCtrlScanArea::LevelAt(int index, int position) const {
    if (index < 0 || index >= kSlots || position < 0 || position >= kChannels) {
        return std::nullopt;
    }
    return levels_[index][position];
}

QRect CnxCtrlScanArea::PlotRect() const {
    return rect().adjusted(kScaleWidth, kHeaderHeight, -8, -kFooterHeight);
}

void CnxCtrlScanArea::paintEvent(QPaintEvent*) {
    const TmyColorScheme& s = TmyColorScheme::Default();
    QPainter p(this);
    p.fillRect(rect(), s.panel);
    p.setFont(s.uiFont());
    p.setPen(s.textSecondary);
    p.drawText(QRect(8, 0, width() - 16, kHeaderHeight), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("SCANNER"));
    p.setPen(scanning_ ? s.level : s.textSecondary);
    p.drawText(QRect(8, 0, width() - 16, kHeaderHeight), Qt::AlignRight | Qt::AlignVCenter,
               scanning_ ? QStringLiteral("Scanning") : QStringLiteral("Idle - Space scans"));
    const QRect plot = PlotRect();
    p.fillRect(plot, s.plot);
    PaintScale(p, plot);
    PaintBars(p, plot);
}

void CnxCtrlScanArea::PaintScale(QPainter& p, const QRect& plot) const {
    const TmyColorScheme& s = TmyColorScheme::Default();
    for (int dbm = -40; dbm >= -120; dbm -= 20) {
        const int y = plot.top() + int((kTop - dbm) / (kTop - kBottom) * plot.height());
        p.setPen(s.grid);
        p.drawLine(plot.left(), y, plot.right(), y);
        p.setPen(s.textSecondary);
        p.drawText(QRect(0, y - 8, kScaleWidth - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(dbm));
    }
    // Channel numbers under the bars at a few landmarks of the plan.
    const double step = double(plot.width()) / kChannels;
    for (int position : {0, 18, 38, 58, 68, 83, 98}) {
        const bool low = position < CnxChannelPlan::kLowBandCount;
        const int number =
            low ? CnxChannelPlan::LowBandNumbers()[position]
                : CnxChannelPlan::HighBandNumbers()[position - CnxChannelPlan::kLowBandCount];
        const int x = plot.left() + int((position + 0.5) * step);
        p.drawText(QRect(x - 14, plot.bottom() + 2, 28, kFooterHeight - 2), Qt::AlignCenter,
                   QString::number(number));
    }
}

void CnxCtrlScanArea::PaintBars(QPainter& p, const QRect& plot) const {
    const TmyColorScheme& s = TmyColorScheme::Default();
    const double step = double(plot.width()) / kChannels;
    const QColor bar = isEnabled() ? s.level : s.lampOff;
    for (int i = 0; i < kChannels; ++i) {
        const auto level = levels_[shown_][i];
        if (!level) {
            continue;
        }
        const double fraction = std::clamp((*level - kBottom) / (kTop - kBottom), 0.0, 1.0);
        const int height = int(fraction * plot.height());
        const int x = plot.left() + int(i * step) + 1;
        p.fillRect(QRect(x, plot.bottom() - height + 1, std::max(1, int(step) - 2), height), bar);
    }
}
