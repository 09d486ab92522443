#include "app/CnxWindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <climits>

namespace {

constexpr int32_t kPlacementLength = 44;  // size of the platform's placement record
constexpr int32_t kShowNormal = 1;
constexpr int32_t kShowMinimized = 2;
constexpr int32_t kShowMaximized = 3;
// The first window's share of the screen, and its largest size.
constexpr double kFirstShare = 0.9;
constexpr QSize kFirstLargest(1680, 1050);

long long OverlapArea(const QRect& a, const QRect& b) {
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
}

// One axis: the length cut to the room but not below the minimum, the start moved into the room.
void FitAxis(int wantedStart, int wantedLength, int minimum, int roomStart, int roomLength,
             int& start, int& length) {
    length = std::max(std::min(wantedLength, roomLength), minimum);
    start = length >= roomLength
                ? roomStart
                : std::clamp(wantedStart, roomStart, roomStart + roomLength - length);
}

}  // namespace

QRect CnxWindowPlacement::Fit(const QRect& wanted, const QSize& minimum,
                              const std::vector<QRect>& areas) {
    if (areas.empty()) {
        return QRect(wanted.topLeft(), wanted.size().expandedTo(minimum));
    }
    const auto best =
        std::max_element(areas.begin(), areas.end(), [&](const QRect& a, const QRect& b) {
            return OverlapArea(wanted, a) < OverlapArea(wanted, b);
        });
    const QRect& area = OverlapArea(wanted, *best) > 0 ? *best : areas.front();
    int x = 0, y = 0, width = 0, height = 0;
    FitAxis(wanted.x(), wanted.width(), minimum.width(), area.x(), area.width(), x, width);
    FitAxis(wanted.y(), wanted.height(), minimum.height(), area.y(), area.height(), y, height);
    return QRect(x, y, width, height);
}

QRect CnxWindowPlacement::First(const QSize& minimum, const QRect& area) {
    const QSize size = QSize(int(area.width() * kFirstShare), int(area.height() * kFirstShare))
                           .boundedTo(kFirstLargest)
                           .expandedTo(minimum);
    QRect first(QPoint(), size);
    first.moveCenter(area.center());
    return Fit(first, minimum, {area});
}

SnxWindowPlacement CnxWindowPlacement::Capture(const QWidget& window) {
    const QRect normal =
        window.normalGeometry().isValid() ? window.normalGeometry() : window.geometry();
    SnxWindowPlacement p;
    p.length = kPlacementLength;
    p.showCmd = window.isMaximized()   ? kShowMaximized
                : window.isMinimized() ? kShowMinimized
                                       : kShowNormal;
    p.minX = p.minY = p.maxX = p.maxY = -1;
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.left() + normal.width();
    p.bottom = normal.top() + normal.height();
    return p;
}

void CnxWindowPlacement::Apply(QWidget& window, const SnxWindowPlacement& p) {
    if (p.length == 0) {
        if (const QScreen* screen = window.screen()) {
            window.setGeometry(First(window.minimumSize(), screen->availableGeometry()));
        }
        return;
    }
    if (p.right > p.left && p.bottom > p.top) {
        std::vector<QRect> areas;
        for (const QScreen* screen : QGuiApplication::screens()) {
            areas.push_back(screen->availableGeometry());
        }
        // 64-bit: a hand-edited file may hold any two numbers.
        const QRect saved(p.left, p.top, int(std::min<int64_t>(int64_t(p.right) - p.left, INT_MAX)),
                          int(std::min<int64_t>(int64_t(p.bottom) - p.top, INT_MAX)));
        window.setGeometry(Fit(saved, window.minimumSize(), areas));
    }
    if (p.showCmd == kShowMaximized) {
        window.showMaximized();
    } else if (p.showCmd == kShowMinimized) {
        window.showMinimized();
    }
}
