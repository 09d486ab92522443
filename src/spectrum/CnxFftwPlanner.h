#pragma once
// FFTW's planner keeps process-wide state that only one thread may touch at a time, and the
// spectrum analyzer library plans in the same process. Anything that plans calls Prepare first.
class CnxFftwPlanner {
public:
    // Makes FFTW serialise planning from any thread; cheap after the first call.
    static void Prepare();
};
