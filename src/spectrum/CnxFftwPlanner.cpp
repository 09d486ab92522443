#include "spectrum/CnxFftwPlanner.h"

#include <fftw3.h>

#include <mutex>

void CnxFftwPlanner::Prepare() {
    static std::once_flag once;
    std::call_once(once, [] { fftwf_make_planner_thread_safe(); });
}
