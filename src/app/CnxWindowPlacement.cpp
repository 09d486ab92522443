#include "app/CnxWindowPlacement.h"

#include <algorithm>

namespace {

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
