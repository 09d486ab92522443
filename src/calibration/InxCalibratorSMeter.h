#pragma once
// Binding of the S-meter calibration library: its exports resolved by name once, a missing export
// answering 0 through a stub, and every call made with the calibration handle first.
#include <cstdint>

#include "core/CnxInterfaceDll.h"

// The record the library fills for one raw strength value. It crosses the library boundary, so its
// layout is fixed.
#pragma pack(push, 1)
struct CalRecord {
    uint32_t size;  // 33, written by the program
    uint8_t raw;    // 0..255, written by the program before each call
    double dbm;     // written by the library
    uint8_t reserved[20];
};
#pragma pack(pop)
static_assert(sizeof(CalRecord) == 33, "CalRecord is 33 bytes at the library boundary");

#define K740RX_SMETER_FUNCTIONS(X)                                                                \
    X(LoadCALFile, (const char* path))                                                            \
    X(Unload, (int32_t handle))                                                                   \
    X(GetCS, (int32_t handle, const char* model, int32_t mode, int64_t hertz, CalRecord* record)) \
    X(SaveCALFile, (int32_t handle, const char* path))                                            \
    X(PutDBMs, (int32_t handle, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e))           \
    X(GetModes, (int32_t handle, int32_t a, int32_t b, int32_t c))                                \
    X(GetFrequencies, (int32_t handle, int32_t a, int32_t b, int32_t c, int32_t d))               \
    X(DeleteMode, (int32_t handle, int32_t a, int32_t b))                                         \
    X(DeleteFrequency, (int32_t handle, int32_t a, int32_t b, int32_t c, int32_t d))

class InxCalibratorSMeter : public CnxInterfaceDll {
public:
    // What a wrapper answers when the library is not loaded.
    static constexpr int32_t kNotLoaded = -10;

    explicit InxCalibratorSMeter(const char* libraryFileName);

    int32_t LoadCALFile(const char* path);
    int32_t Unload();
    int32_t GetCS(const char* model, int32_t mode, int64_t hertz, CalRecord* record);
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
    int32_t Call(int32_t (*function)(Params...), int32_t notLoaded, Args... args) {
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
