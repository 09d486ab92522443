#pragma once
// The calling contract of the receiver driver library (libQVK740RXAPI.so). The program binds it by
// name at run time; the simulated library in sim/receiver-driver implements exactly these exports.
#include <cstdint>

// One entry of the driver's radio list. It crosses the library boundary, so its layout is fixed.
#pragma pack(push, 1)
struct RadioInfo {
    uint32_t length;      // 42
    char serial[9];       // NUL-terminated
    char productName[9];  // NUL-terminated; "K7PCI", "K7USB" or "K7SER" first
    uint32_t valueA;      // passed out unchanged
    uint8_t unused1[4];
    uint32_t valueB;  // passed out unchanged
    uint8_t unused2[8];
};
#pragma pack(pop)
static_assert(sizeof(RadioInfo) == 42, "RadioInfo is 42 bytes on the wire");

using K7Handle = uint32_t;  // 0: no radio

// Audio stream callback: 16-bit mono PCM from the library's own thread.
using K7StreamCallback = void (*)(void* context, const void* data, uint32_t bytes, uint32_t extra);

// Every export, as X(name, return type, parameter list). The binding resolves each by name; the
// simulated library defines each with extern "C" linkage.
#define K740RX_DRIVER_FUNCTIONS(X)                                                          \
    X(K7Open, K7Handle, (const char* serial))                                               \
    X(OpenRadioDevice, K7Handle, (int32_t listIndex))                                       \
    X(CloseRadioDevice, int32_t, (K7Handle h))                                              \
    X(K7GetRadioList3, int32_t, (RadioInfo * list, uint32_t bufferBytes, uint32_t * count)) \
    X(InitializeDemodulator, int32_t, (K7Handle h, int32_t mode))                           \
    X(UninitializeDemodulator, int32_t, (K7Handle h))                                       \
    X(SetFrequency, int32_t, (K7Handle h, int32_t hertz))                                   \
    X(GetFrequency, int32_t, (K7Handle h))                                                  \
    X(SetIF2Frequency, int32_t, (K7Handle h, int32_t hertz))                                \
    X(GetIF2Frequency, int32_t, (K7Handle h))                                               \
    X(SetFreqAsync, int32_t, (K7Handle h, int32_t hertz))                                   \
    X(WaitFreqAsync, int32_t, (K7Handle h))                                                 \
    X(GetTunedError, int32_t, (K7Handle h))                                                 \
    X(SetAtten, int32_t, (K7Handle h, int32_t on))                                          \
    X(GetAtten, int32_t, (K7Handle h))                                                      \
    X(SetRFAmp, int32_t, (K7Handle h, int32_t on))                                          \
    X(GetRFAmp, int32_t, (K7Handle h))                                                      \
    X(SetPower, int32_t, (K7Handle h, int32_t on))                                          \
    X(GetPower, int32_t, (K7Handle h))                                                      \
    X(K7SetRefClock, int32_t, (K7Handle h, int32_t hertz))                                  \
    X(K7GetRefClock, int32_t, (K7Handle h))                                                 \
    X(K7GetInfo, int32_t, (K7Handle h, char* text, int32_t size))                           \
    X(K7IsBusy, int32_t, (K7Handle h))                                                      \
    X(GetPath, int32_t, (K7Handle h))                                                       \
    X(GetPath2, int32_t, (K7Handle h))                                                      \
    X(IsDeviceConnected, int32_t, (K7Handle h))                                             \
    X(SetLEDFlashPattern, int32_t, (K7Handle h, int32_t pattern))                           \
    X(GetLEDFlashPattern, int32_t, (K7Handle h))                                            \
    X(K7GetDebug, int32_t, (K7Handle h, char* text, int32_t size))                          \
    X(K7GetEEP, int32_t, (K7Handle h, uint8_t * buffer256))                                 \
    X(K7WrCalib2, int32_t, (K7Handle h, const uint8_t* data, int32_t size))                 \
    X(K7WrCalib, int32_t, (K7Handle h, const uint8_t* data, int32_t size))                  \
    X(SetFilterValue, int32_t, (K7Handle h, int32_t filter, int32_t value))                 \
    X(GetFilterValue, int32_t, (K7Handle h, int32_t filter))                                \
    X(SetFilterTbl, int32_t, (K7Handle h, const int32_t* table, int32_t count))             \
    X(GetFilterTbl, int32_t, (K7Handle h, int32_t * table, int32_t count))                  \
    X(GetPllSpeed, int32_t, (K7Handle h))                                                   \
    X(SetPllSpeed, int32_t, (K7Handle h, int32_t speed))                                    \
    X(ReadBands, int32_t, (K7Handle h, int32_t * bands, int32_t count))                     \
    X(WriteBands, int32_t, (K7Handle h, const int32_t* bands, int32_t count))               \
    X(SetupStreams, uint32_t,                                                               \
      (K7Handle h, int32_t reserved1, int32_t reserved2, K7StreamCallback callback,         \
       void* context))                                                                      \
    X(SetAudioBandwidth, int32_t, (K7Handle h, int32_t hertz))                              \
    X(GetAudioBandwidth, int32_t, (K7Handle h))                                             \
    X(SetVolume, int32_t, (K7Handle h, int32_t volume))                                     \
    X(GetVolume, int32_t, (K7Handle h))                                                     \
    X(SetAudioGain, int32_t, (K7Handle h, int32_t gain))                                    \
    X(GetAudioGain, int32_t, (K7Handle h))                                                  \
    X(GetSignalStrengthdBm, int32_t, (K7Handle h))                                          \
    X(GetRawSignalStrength, int32_t, (K7Handle h))                                          \
    X(GetLastRawSS, int32_t, (K7Handle h))                                                  \
    X(GetLastSSdBm, int32_t, (K7Handle h))                                                  \
    X(K7GetInternalRSSI, int32_t, (K7Handle h))                                             \
    X(K7SetFreqPipelined, int32_t,                                                          \
      (K7Handle h, int32_t hertz, int32_t firstOfPass, int32_t settle))                     \
    X(K7GetSSPipelined, int32_t,                                                            \
      (K7Handle h, int32_t * levelTenthsDbm, uint8_t * raw, int32_t * rssi, int32_t * agc)) \
    X(SetAdvancedMode, int32_t, (K7Handle h, int32_t mode))                                 \
    X(GetAdvancedMode, int32_t, (K7Handle h))                                               \
    X(SetFMW, int32_t, (K7Handle h, int32_t value))                                         \
    X(GetFMW, int32_t, (K7Handle h))                                                        \
    X(SetMode, int32_t, (K7Handle h, int32_t mode))                                         \
    X(GetMode, int32_t, (K7Handle h))
