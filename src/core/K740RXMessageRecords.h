#pragma once
// Records that travel between threads inside posted messages: a scan measurement, a block of
// audio and the wave format it is in. Kept at the bottom of the program so that every subsystem
// that hands them on or takes them (receivers, the graph, the audio path) can use them without the
// others.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "core/TmyTypes.h"

// One scan measurement, naming where it belongs: the scan run (one start from stopped), the sweep
// within the run and the point of the pass. It travels by value inside the message, so however
// long the window thread stalls, no later measurement can overwrite it, and a late one of a run
// that has ended is recognised.
struct ScanSample {
    static constexpr int kPointBits = 20;
    static constexpr int kSweepBits = 12;  // sweeps are told apart from their neighbours only
    static constexpr uint32_t kSweepMask = (1u << kSweepBits) - 1;

    uint16_t run = 0;
    uint32_t sweep = 0;
    int32_t point = 0;
    double level = std::numeric_limits<double>::quiet_NaN();  // dBm; NaN: the reading failed

    bool HasLevel() const { return !std::isnan(level); }

    // Levels are whole tenths of a dB (readings and corrections both are), kept exactly in 16 bits;
    // then the point, the sweep and the run.
    WPARAM Pack() const {
        const auto tenths = HasLevel()
                                ? static_cast<int16_t>(std::clamp(std::lround(level * 10.0),
                                                                  -kNoLevel + 1L, kNoLevel - 1L))
                                : static_cast<int16_t>(-kNoLevel);
        return static_cast<WPARAM>(static_cast<uint16_t>(tenths)) |
               static_cast<WPARAM>(static_cast<uint32_t>(point) & ((1u << kPointBits) - 1)) << 16 |
               static_cast<WPARAM>(sweep & kSweepMask) << (16 + kPointBits) |
               static_cast<WPARAM>(run) << (16 + kPointBits + kSweepBits);
    }
    static ScanSample Unpack(WPARAM packed) {
        const auto tenths = static_cast<int16_t>(static_cast<uint16_t>(packed & 0xffffu));
        ScanSample sample;
        sample.point = static_cast<int32_t>((packed >> 16) & ((1u << kPointBits) - 1));
        sample.sweep = static_cast<uint32_t>(packed >> (16 + kPointBits)) & kSweepMask;
        sample.run = static_cast<uint16_t>(packed >> (16 + kPointBits + kSweepBits));
        if (tenths != -kNoLevel) {
            sample.level = tenths / 10.0;
        }
        return sample;
    }

private:
    static constexpr long kNoLevel = 32768;
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
