#pragma once
// The calling contract of the S-meter calibration library (libsmetersdk.so). The program binds it
// by name at run time; the stand-in library in sim/smeter-calibration implements these exports.
#include <cstddef>
#include <cstdint>

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
static_assert(offsetof(CalRecord, raw) == 4 && offsetof(CalRecord, dbm) == 5,
              "the level starts at offset 5");

// Every export, as X(name, parameter list); each returns a 32-bit result and takes the calibration
// handle first, except LoadCALFile, which makes one.
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
