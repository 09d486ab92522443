#pragma once
// What a receiver hands to its target window: the message numbers and the records their
// parameters point to.
#include <bit>
#include <cmath>
#include <cstdint>

#include "core/TmyTypes.h"

// wParam: AudioBlock*, lParam: byte count of its float data.
constexpr UINT WM_RCV_AUDIO_BLOCK = WM_USER + 306;
// To the receiver's hidden window. wParam: a buffer from new char[] that the receiver frees,
// lParam: its byte count of 16-bit mono samples.
constexpr UINT WM_RCV_AUDIO_CHUNK = WM_USER + 307;
// wParam: the receiver, lParam: 1 connected, 0 not.
constexpr UINT WM_RCV_CONNECTION = WM_USER + 324;
// wParam: the receiver, lParam: 0.
constexpr UINT WM_RCV_SCAN_END = WM_USER + 325;
// A receiver standing in for a lost radio: wParam the receiver, lParam 1 the radio is plugged in
// again, 0 it went again before it was taken back.
constexpr UINT WM_RCV_RADIO_BACK = WM_USER + 326;
// wParam: the ScanSample itself (ScanSample::Pack), lParam: the receiver.
constexpr UINT WM_RCV_SCAN_LEVEL = WM_USER + 1400;

// One scan measurement. It travels by value inside the message, so however long the window thread
// stalls, no later measurement can overwrite it.
struct ScanSample {
    int64_t frequency = 0;  // Hz
    double level = 0.0;     // dBm, level correction included; NaN: the reading failed

    bool HasLevel() const { return !std::isnan(level); }

    // Hertz in the low half (the band ends far below 4.3 GHz), the level as a float in the high.
    WPARAM Pack() const {
        const auto hertz = static_cast<uint32_t>(frequency);
        const auto levelBits = std::bit_cast<uint32_t>(static_cast<float>(level));
        return static_cast<WPARAM>(hertz) | static_cast<WPARAM>(levelBits) << 32;
    }
    static ScanSample Unpack(WPARAM packed) {
        const auto hertz = static_cast<uint32_t>(packed & 0xffffffffu);
        const auto level = std::bit_cast<float>(static_cast<uint32_t>(packed >> 32));
        return ScanSample{hertz, level};
    }
};
static_assert(sizeof(WPARAM) >= 8, "a scan sample travels in one 64-bit message parameter");

struct AudioBlockFormat {
    uint32_t kind;  // 6
    uint32_t reserved1;
    uint32_t reserved2;
};

// One block of float audio. It stays valid until the ring of blocks comes round to it again.
struct AudioBlock {
    uint32_t flags;  // 0
    const AudioBlockFormat* format;
    uint32_t reserved;
    uint32_t sampleRate;
    uint32_t bytes;  // 4 x samples; the capacity until the block is first filled
    float* samples;
    const void* source;  // the receiver that filled it, which takes it back when it is played
};

// The wave-format record of 16-bit PCM as the sound functions take it.
#pragma pack(push, 1)
struct SnxK740RXAudioFormat {
    uint16_t formatTag;  // 1: PCM
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t bytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize;
};
#pragma pack(pop)
static_assert(sizeof(SnxK740RXAudioFormat) == 18, "the platform's wave-format record is 18 bytes");
