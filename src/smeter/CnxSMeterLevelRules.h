#pragma once
// The arithmetic between a receiver's reading and what its S-meter shows: the user's calibration
// offset (in tenths of a dB) added on top, the fixed levels a demo receiver shows instead of a
// reading, and how a changed offset re-shows the current reading.
#include <cstdint>
#include <optional>

class CnxSMeterLevelRules {
public:
    // The level taken as shown when there is no S-meter to ask.
    static constexpr double kNoMeterLevel = -120.0;
    // What a demo receiver reads away from its sonobuoys.
    static constexpr double kDemoNoise = -105.0;

    // What a demo receiver tuned there reads: its three sonobuoys, quieter behind the attenuator,
    // and the noise floor everywhere else.
    static double DemoLevel(int32_t hertz, bool attenuator);

    // The level to put on the S-meter for a reading: the demo level replaces the reading of a demo
    // receiver, then the offset is added. A reading of NaN (the receiver could not be read) stays
    // NaN: the meter shows no reading rather than a level.
    static double ShownLevel(double reading, int32_t offsetTenths, bool demo, int32_t hertz,
                             bool attenuator);

    // For an offset change from `current` to `next`: the reading behind what is shown now, to be
    // shown again under the new offset; nothing when the offset stays and the change is not forced.
    static std::optional<double> ReadingToReshow(int32_t current, int32_t next, bool force,
                                                 double shown);

    // A value in dB as an offset in tenths, truncated toward zero (-0.35 dB is -3). The tiny
    // error of a binary fraction (0.8 dB stepped up from 0.0 in tenths) is dropped first.
    static int32_t OffsetTenths(double decibels);
};
