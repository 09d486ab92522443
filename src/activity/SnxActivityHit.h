#pragma once
// One hit: a frequency that a receiver heard at or above its activity threshold, from the first
// such reading to the last, with the strongest and the mean of its readings, and how it ended.
// Times are UTC, in milliseconds since 1970-01-01.
#include <QString>
#include <cstdint>

struct SnxActivityHit {
    enum class End { kOpen, kQuiet, kLost, kStopped };

    uint64_t id = 0;  // counts up from 1 in the order hits open
    int slot = 0;     // 0-7
    QString serial;   // of the receiver that heard it
    int64_t frequency = 0;
    int channel = 0;  // 0: the frequency has no sonobuoy channel
    int64_t startMs = 0;
    int64_t endMs = 0;  // the last reading at or above the threshold
    double peakDbm = 0.0;
    double sumDbm = 0.0;  // of the readings from start to end
    int readings = 0;
    End end = End::kOpen;
    QString recording;  // the WAV file's name, empty when none was recorded

    bool IsOpen() const { return end == End::kOpen; }
    double MeanDbm() const { return readings > 0 ? sumDbm / readings : peakDbm; }
    // A closed hit lasts from its first to its last reading; an open one up to now.
    int64_t DurationMs(int64_t nowMs) const { return (IsOpen() ? nowMs : endMs) - startMs; }
    // "quiet", "lost", "stopped"; empty while open.
    static const char* EndWord(End end) {
        switch (end) {
            case End::kQuiet:
                return "quiet";
            case End::kLost:
                return "lost";
            case End::kStopped:
                return "stopped";
            case End::kOpen:
                break;
        }
        return "";
    }
};
