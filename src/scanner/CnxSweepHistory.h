#pragma once
// The sweep history of one receiver's scan: a row per sweep of its bar graph, newest first, with
// the level each point had in that sweep and the time the sweep began. Samples name their run
// and sweep, so a row is gathered as they come and joins the history once its sweep is over: when
// a sample of another sweep or run arrives, or the run ends. A scan held and resumed goes on in
// the same sweep and stays one row. The oldest rows go first once kRows are kept; a pass so fine
// that kRows of its rows would need more than kMaxBytes keeps as many as fit in them.
// Levels are kept as whole tenths of a dB, as the receivers measure them, two bytes a point.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/K740RXMessageRecords.h"

class CnxSweepHistory {
public:
    static constexpr int kRows = 500;
    static constexpr std::size_t kMaxBytes = std::size_t(4) << 20;
    // A point the sweep had no reading of.
    static constexpr int16_t kNoReading = INT16_MIN;

    explicit CnxSweepHistory(int points = 0, int rows = kRows);

    // The points of a pass; rows of another layout mean nothing any more and are forgotten.
    void SetPointCount(int points);
    int GetPointCount() const { return points_; }
    // How many rows are kept with the current points.
    int GetCapacity() const { return capacity_; }

    // A sample at its point, taken at `utcMs` (ms since the epoch). True when it ended the sweep
    // before it, which is then the newest row. Samples of points the pass does not have are
    // dropped; one without a level leaves its point as it was.
    bool Add(const ScanSample& sample, int64_t utcMs);
    // The run ended: its last sweep, however far it went, becomes a row. True when one did.
    bool EndSweep();
    // Forgets every row and the sweep under way.
    void Clear();

    int GetRowCount() const { return count_; }
    // Row 0 is the newest. The tenths of a dBm of every point of a row (kNoReading where none).
    const int16_t* GetRow(int row) const;
    std::optional<double> GetLevel(int row, int point) const;
    // When the row's sweep began, ms since the epoch (UTC).
    int64_t GetTime(int row) const;
    // Rows made since the history was made; views that scroll tell new rows by it.
    uint64_t GetRowsMade() const { return rowsMade_; }
    // What the rows and the sweep under way hold in memory.
    std::size_t GetMemoryBytes() const;

    static int16_t TenthsOf(double dbm);

private:
    int Slot(int row) const;
    void Commit();

    int rows_;
    int points_ = 0;
    int capacity_ = 0;
    std::vector<int16_t> levels_;  // capacity_ rows of points_, a ring
    std::vector<int64_t> times_;
    int newest_ = -1;  // ring slot of row 0
    int count_ = 0;
    uint64_t rowsMade_ = 0;

    struct Sweep {
        bool open = false;
        uint16_t run = 0;
        uint32_t sweep = 0;
        int64_t time = 0;
        std::vector<int16_t> levels;
    };
    Sweep current_;
};
