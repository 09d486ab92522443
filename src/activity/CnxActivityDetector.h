#pragma once
// Finds the hits in one receiver's readings. A hit opens on a frequency when a reading there
// reaches the activity threshold, and closes as quiet when the readings stay below it for the
// hang time: two sweeps while the receiver scans (every sample names its sweep), two seconds
// while it listens. Its end is its last reading at or above the threshold; its peak and mean are
// those of its readings up to that end. A reading that failed (NaN: the receiver cannot be read)
// opens nothing and closes every open hit as lost; going from scanning to listening or back
// closes them as stopped, as does Stop.
// No widgets and no clock of its own: every reading comes with its time. Readings at frequencies
// without an open hit and below the threshold cost a comparison, so that a scan of eight receivers
// pays next to nothing for it.
#include <cstdint>
#include <limits>
#include <vector>

#include "activity/SnxActivityHit.h"

// Where the hits go as they open and close.
class InxActivitySink {
public:
    virtual ~InxActivitySink() = default;
    // A hit began; the sink gives it its number and receiver before it is kept.
    virtual void HitOpened(SnxActivityHit& hit) = 0;
    virtual void HitClosed(const SnxActivityHit& hit) = 0;
};

class CnxActivityDetector {
public:
    static constexpr int64_t kListenHangMs = 2000;
    static constexpr uint32_t kScanHangSweeps = 2;

    CnxActivityDetector(int slot, InxActivitySink& sink);

    // Until a threshold is set nothing is a hit.
    void SetThreshold(double dbm) { threshold_ = dbm; }
    double GetThreshold() const { return threshold_; }

    // A scan sample at a point's frequency, of a sweep (counted modulo 2^bits, as samples carry
    // it), in dBm.
    void OnScanReading(int64_t hertz, double dbm, uint32_t sweep, int64_t ms);
    // A reading of a receiver that listens where it is tuned.
    void OnListenReading(int64_t hertz, double dbm, int64_t ms);
    // Closes every open hit as stopped (the scan or the program ended) or lost.
    void CloseAll(SnxActivityHit::End reason);

    // The hits open now, as they stand.
    std::vector<SnxActivityHit> GetOpenHits() const;
    bool HasOpenHits() const { return !open_.empty(); }

private:
    enum class Mode { kNone, kScanning, kListening };
    struct Open {
        SnxActivityHit hit;
        uint32_t lastAboveSweep = 0;
        // Readings below the threshold since the last one above: part of the hit only if another
        // one above follows.
        double pendingSum = 0.0;
        int pendingReadings = 0;
    };

    void Enter(Mode mode);
    // A failed reading closes the hits as lost; a reading of the other mode closes them as
    // stopped. False when the reading can change nothing more: it failed, or no hit is open and
    // it is below the threshold.
    bool Admit(double dbm, Mode mode);
    // The reading at its frequency: an open hit takes it, or one opens.
    void Take(int64_t hertz, double dbm, uint32_t sweep, int64_t ms);
    void Close(std::size_t index, SnxActivityHit::End reason);
    static uint32_t SweepsSince(uint32_t sweep, uint32_t earlier);

    int slot_;
    InxActivitySink& sink_;
    double threshold_ = std::numeric_limits<double>::infinity();
    Mode mode_ = Mode::kNone;
    std::vector<Open> open_;
};
