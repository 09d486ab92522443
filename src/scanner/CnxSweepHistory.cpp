#include "scanner/CnxSweepHistory.h"

#include <algorithm>
#include <cmath>

CnxSweepHistory::CnxSweepHistory(int points, int rows) : rows_(std::max(rows, 1)) {
    SetPointCount(points);
}

void CnxSweepHistory::SetPointCount(int points) {
    points = std::max(points, 0);
    if (points == points_ && capacity_ > 0) {
        return;
    }
    points_ = points;
    const std::size_t rowBytes = std::max<std::size_t>(std::size_t(points_) * sizeof(int16_t), 1);
    capacity_ = int(std::clamp<std::size_t>(kMaxBytes / rowBytes, 1, std::size_t(rows_)));
    levels_.clear();
    levels_.shrink_to_fit();
    times_.clear();
    Clear();
}

void CnxSweepHistory::Clear() {
    newest_ = -1;
    count_ = 0;
    current_.open = false;
}

int16_t CnxSweepHistory::TenthsOf(double dbm) {
    return int16_t(std::clamp(std::lround(dbm * 10.0), long(kNoReading) + 1, long(INT16_MAX)));
}

bool CnxSweepHistory::Add(const ScanSample& sample, int64_t utcMs) {
    if (sample.point < 0 || sample.point >= points_) {
        return false;
    }
    const bool sameSweep =
        current_.open && sample.run == current_.run && sample.sweep == current_.sweep;
    const bool ended = current_.open && !sameSweep;
    if (ended) {
        Commit();
    }
    if (!current_.open) {
        current_.open = true;
        current_.run = sample.run;
        current_.sweep = sample.sweep;
        current_.time = utcMs;
        current_.levels.assign(std::size_t(points_), kNoReading);
    }
    if (sample.HasLevel()) {
        current_.levels[std::size_t(sample.point)] = TenthsOf(sample.level);
    }
    return ended;
}

bool CnxSweepHistory::EndSweep() {
    if (!current_.open) {
        return false;
    }
    Commit();
    return true;
}

void CnxSweepHistory::Commit() {
    current_.open = false;
    // Room for every row is taken with the first one, so the bound holds however the rows come;
    // the ring then fills up, and once full the oldest slot is taken.
    if (levels_.capacity() == 0) {
        levels_.reserve(std::size_t(capacity_) * std::size_t(points_));
        times_.reserve(std::size_t(capacity_));
    }
    const int slot = (newest_ + 1) % capacity_;
    if (std::size_t(slot) >= times_.size()) {
        levels_.resize(std::size_t(slot + 1) * std::size_t(points_));
        times_.resize(std::size_t(slot) + 1);
    }
    std::copy(current_.levels.begin(), current_.levels.end(),
              levels_.begin() + std::ptrdiff_t(slot) * points_);
    times_[std::size_t(slot)] = current_.time;
    newest_ = slot;
    count_ = std::min(count_ + 1, capacity_);
    ++rowsMade_;
}

int CnxSweepHistory::Slot(int row) const {
    return (newest_ - row + capacity_) % capacity_;
}

const int16_t* CnxSweepHistory::GetRow(int row) const {
    if (row < 0 || row >= count_) {
        return nullptr;
    }
    return levels_.data() + std::ptrdiff_t(Slot(row)) * points_;
}

std::optional<double> CnxSweepHistory::GetLevel(int row, int point) const {
    const int16_t* levels = GetRow(row);
    if (levels == nullptr || point < 0 || point >= points_ || levels[point] == kNoReading) {
        return std::nullopt;
    }
    return levels[point] / 10.0;
}

int64_t CnxSweepHistory::GetTime(int row) const {
    return row >= 0 && row < count_ ? times_[std::size_t(Slot(row))] : 0;
}

std::size_t CnxSweepHistory::GetMemoryBytes() const {
    return levels_.capacity() * sizeof(int16_t) + times_.capacity() * sizeof(int64_t) +
           current_.levels.capacity() * sizeof(int16_t);
}
