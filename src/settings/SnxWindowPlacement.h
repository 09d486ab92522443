#pragma once
// The main window's saved placement, field for field as the settings file keeps it; length 0
// means that no placement was saved.
#include <cstdint>

struct SnxWindowPlacement {
    int32_t length = 0, flags = 0, showCmd = 0, minX = 0, minY = 0, maxX = 0, maxY = 0, left = 0,
            top = 0, right = 0, bottom = 0;
};
