#pragma once
// What the bar graph says about the point under the cursor, line by line, and the texts it is made
// of: the level with its S-unit, the frequency in a unit that suits it, the sonobuoy channel, and
// the weakest and strongest level seen there over past sweeps.
#include <QString>
#include <cstdint>

struct ScopeReadOut {
    QString level;
    QString frequency;
    QString channel;
    QString min;
    QString max;
    QString spread;
    QString activity = {};  // how often the point's frequency was heard; empty: never

    bool operator==(const ScopeReadOut&) const = default;

    // "(S0)" ... "(S19)": 6 dB per unit, S1 from -140 dBm, S10 from -86 dBm.
    static QString SUnitText(double dbm);
    // Hz below 1800 Hz, then kHz, MHz and GHz, each from 1800 of the unit below.
    static QString FrequencyText(int64_t hertz);
    // The graph's own channel plan: the channel a point or marker frequency stands for, -1 when
    // it has none.
    static int ChannelOf(int64_t hertz);

    static QString LevelLine(double dbm);  // "Signal Level: -60.0 dBm (S14)"
    static QString FrequencyLine(int64_t hertz);
    static QString ChannelLine(int64_t hertz);
    // "heard 7×, last 14:02:11", the time in UTC.
    static QString ActivityLine(int hits, int64_t lastUtcMs);
    // The level lines of a point that holds no reading.
    static ScopeReadOut Bare(int64_t hertz);
};
