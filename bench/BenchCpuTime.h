#pragma once
// CPU time of the whole process, every thread included: what a hand-over costs both sides.
#include <ctime>

inline double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}
