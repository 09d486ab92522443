#pragma once
// What the activity controller shows on a receiver's bar graph: the activity threshold as a line
// across the plot, and each frequency's hits in the strip under its bar and in the read-out. The
// graph asks the controller to move the threshold when the operator drags the line; tests put a
// recording graph in its place.
#include <cstdint>

#include "scanner/SnxPointActivity.h"

class InxActivityGraph {
public:
    virtual ~InxActivityGraph() = default;
    virtual void ShowThreshold(double dbm) = 0;
    virtual void ShowActivity(int64_t hertz, const SnxPointActivity& activity) = 0;
};
