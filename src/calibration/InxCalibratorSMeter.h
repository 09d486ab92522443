#pragma once
// Binding of the S-meter calibration library: its exports resolved by name once, a missing export
// answering 0 through a stub, and every call made with the calibration handle first.
#include <cstdint>

#include "calibration/K740RXCalibrationApi.h"
#include "core/CnxInterfaceDll.h"

class InxCalibratorSMeter : public CnxInterfaceDll {
public:
    // What a wrapper answers when the library is not loaded.
    static constexpr int32_t kNotLoaded = -10;

    // Binds the library; each export it lacks is named in the log.
    explicit InxCalibratorSMeter(const char* libraryFileName);

    int32_t LoadCALFile(const char* path);
    int32_t Unload();
    int32_t GetCS(const char* model, int32_t mode, int64_t hertz, CalRecord* record) const;
    int32_t SaveCALFile(const char* path);
    int32_t PutDBMs(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e);
    // These two answer 0, not kNotLoaded, without the library.
    int32_t GetModes(int32_t a, int32_t b, int32_t c);
    int32_t GetFrequencies(int32_t a, int32_t b, int32_t c, int32_t d);
    int32_t DeleteMode(int32_t a, int32_t b);
    int32_t DeleteFrequency(int32_t a, int32_t b, int32_t c, int32_t d);

    int32_t GetCalibrationHandle() const { return calibrationHandle_; }
    // Whether a calibration file is loaded (the library itself: IsLoaded).
    bool IsCalibrationLoaded() const { return calibrationLoaded_; }

protected:
    template <typename... Params, typename... Args>
    int32_t Call(int32_t (*function)(Params...), int32_t notLoaded, Args... args) const {
        return IsLoaded() ? function(args...) : notLoaded;
    }

    int32_t calibrationHandle_ = -1;
    bool calibrationLoaded_ = false;

private:
    struct Functions {
#define K740RX_DECLARE_POINTER(name, params) int32_t(*name) params = nullptr;
        K740RX_SMETER_FUNCTIONS(K740RX_DECLARE_POINTER)
#undef K740RX_DECLARE_POINTER
    };
    Functions functions_;
};
