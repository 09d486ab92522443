#pragma once
// What the activity log tells the bar graph about one point's frequency: how many hits were heard
// there, when the latest began (UTC milliseconds), and whether one is on now.
#include <cstdint>

struct SnxPointActivity {
    int hits = 0;
    int64_t lastUtcMs = 0;
    bool open = false;

    bool operator==(const SnxPointActivity&) const = default;
};
