#pragma once
// The records and result codes of the wave-audio functions (SndWaveApi.h) and of the classes
// built on them. Values follow the platform the program was designed for, so codes that reach
// logs and error boxes mean the same everywhere.
#include <atomic>
#include <cstdint>

#include "core/K740RXMessageRecords.h"

using MMRESULT = uint32_t;
using WAVEFORMATEX = SnxK740RXAudioFormat;

constexpr uint16_t WAVE_FORMAT_PCM = 1;
constexpr uint32_t WAVE_MAPPER = 0xFFFFFFFF;  // the default device

constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_NODRIVER = 6;
constexpr MMRESULT MMSYSERR_NOMEM = 7;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MMSYSERR_BADERRNUM = 9;
constexpr MMRESULT WAVERR_BADFORMAT = 32;
constexpr MMRESULT WAVERR_STILLPLAYING = 33;
constexpr MMRESULT WAVERR_UNPREPARED = 34;

// Header flags.
constexpr uint32_t WHDR_DONE = 0x01;
constexpr uint32_t WHDR_PREPARED = 0x02;
constexpr uint32_t WHDR_INQUEUE = 0x10;

// One buffer handed to a device. The device owns it from the write or add until it reports the
// buffer done; until then the caller must not touch it.
struct WAVEHDR {
    char* lpData = nullptr;
    uint32_t dwBufferLength = 0;
    uint32_t dwBytesRecorded = 0;
    uintptr_t dwUser = 0;
    uint32_t dwFlags = 0;
    uint32_t dwLoops = 0;
    WAVEHDR* lpNext = nullptr;
    uintptr_t reserved = 0;
};

// A queued header's flags change on the thread that moves its samples while the window thread
// looks at them, so both go through these.
inline uint32_t LoadFlags(WAVEHDR& header) {
    return std::atomic_ref<uint32_t>(header.dwFlags).load(std::memory_order_acquire);
}
inline void StoreFlags(WAVEHDR& header, uint32_t flags) {
    std::atomic_ref<uint32_t>(header.dwFlags).store(flags, std::memory_order_release);
}
