#pragma once
// The calibration files the library holds, by handle. Every operation may be called from any
// thread: lookups share a lock, loading, unloading and edits take it alone.
#include <cstdint>
#include <map>
#include <shared_mutex>

#include "SimCalTable.h"
#include "calibration/K740RXCalibrationApi.h"

class SimCalLibrary {
public:
    static constexpr int32_t kMaxHandles = 64;

    static SimCalLibrary& Instance();

    // A handle of 1 or more, or a failure.
    int32_t Load(const char* path);
    int32_t Unload(int32_t handle);
    // Fills the record's level for its raw value at the frequency under the mode.
    int32_t Calibrate(int32_t handle, const char* model, int32_t mode, int64_t hertz,
                      CalRecord* record) const;
    int32_t Save(int32_t handle, const char* path) const;
    int32_t Put(int32_t handle, int32_t mode, int32_t hertz, int32_t raw, int32_t centiDbm,
                int32_t create);
    // With index < 0 the number of modes, otherwise the mode number at that index.
    int32_t Modes(int32_t handle, int32_t index) const;
    // With index < 0 the number of frequency points of the mode, otherwise the one at that index.
    int32_t Frequencies(int32_t handle, int32_t mode, int32_t index) const;
    int32_t DeleteMode(int32_t handle, int32_t mode);
    // raw < 0 removes the whole frequency point, otherwise the one raw value of its curve.
    int32_t DeleteFrequency(int32_t handle, int32_t mode, int32_t hertz, int32_t raw);

private:
    template <typename Action>
    int32_t WithTable(int32_t handle, Action action) const;
    template <typename Action>
    int32_t EditTable(int32_t handle, Action action);

    mutable std::shared_mutex mutex_;
    std::map<int32_t, SimCalTable> tables_;
};
