// The library's exported entry points, each a thin shell over the table store. The declarations
// come from the program's own list of calibration functions, so names and signatures cannot drift
// apart from what the program resolves.
#include "SimCalLibrary.h"
#include "calibration/K740RXCalibrationApi.h"

#define K740_SIM_DECLARE_EXPORT(name, parameters) \
    extern "C" __attribute__((visibility("default"))) int32_t name parameters;
K740RX_SMETER_FUNCTIONS(K740_SIM_DECLARE_EXPORT)
#undef K740_SIM_DECLARE_EXPORT

namespace {
SimCalLibrary& library() {
    return SimCalLibrary::Instance();
}
}  // namespace

int32_t LoadCALFile(const char* path) {
    return library().Load(path);
}

int32_t Unload(int32_t handle) {
    return library().Unload(handle);
}

int32_t GetCS(int32_t handle, const char* model, int32_t mode, int64_t hertz, CalRecord* record) {
    return library().Calibrate(handle, model, mode, hertz, record);
}

int32_t SaveCALFile(int32_t handle, const char* path) {
    return library().Save(handle, path);
}

// (mode, frequency in hertz, raw value, level in hundredths of a dBm, create when missing)
int32_t PutDBMs(int32_t handle, int32_t mode, int32_t hertz, int32_t raw, int32_t centiDbm,
                int32_t create) {
    return library().Put(handle, mode, hertz, raw, centiDbm, create);
}

// (index, reserved, reserved)
int32_t GetModes(int32_t handle, int32_t index, int32_t, int32_t) {
    return library().Modes(handle, index);
}

// (mode, index, reserved, reserved)
int32_t GetFrequencies(int32_t handle, int32_t mode, int32_t index, int32_t, int32_t) {
    return library().Frequencies(handle, mode, index);
}

// (mode, reserved)
int32_t DeleteMode(int32_t handle, int32_t mode, int32_t) {
    return library().DeleteMode(handle, mode);
}

// (mode, frequency in hertz, raw value or -1 for the whole point, reserved)
int32_t DeleteFrequency(int32_t handle, int32_t mode, int32_t hertz, int32_t raw, int32_t) {
    return library().DeleteFrequency(handle, mode, hertz, raw);
}
