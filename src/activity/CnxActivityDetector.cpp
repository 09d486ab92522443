#include "activity/CnxActivityDetector.h"

#include <algorithm>
#include <cmath>

#include "core/K740RXMessageRecords.h"
#include "settings/CnxChannelPlan.h"

CnxActivityDetector::CnxActivityDetector(int slot, InxActivitySink& sink)
    : slot_(slot), sink_(sink) {}

uint32_t CnxActivityDetector::SweepsSince(uint32_t sweep, uint32_t earlier) {
    return (sweep - earlier) & ScanSample::kSweepMask;
}

bool CnxActivityDetector::Admit(double dbm, Mode mode) {
    if (std::isnan(dbm)) {
        CloseAll(SnxActivityHit::End::kLost);
        return false;
    }
    Enter(mode);
    return !open_.empty() || dbm >= threshold_;
}

void CnxActivityDetector::OnScanReading(int64_t hertz, double dbm, uint32_t sweep, int64_t ms) {
    if (!Admit(dbm, Mode::kScanning)) {
        return;
    }
    Take(hertz, dbm, sweep, ms);
    // A hit closes when its own point has been below the threshold for the hang's sweeps; one
    // whose point the walk no longer visits, once a further sweep has gone by.
    for (std::size_t i = open_.size(); i-- > 0;) {
        const Open& o = open_[i];
        const uint32_t quiet = SweepsSince(sweep, o.lastAboveSweep);
        const bool own = o.hit.frequency == hertz;
        if ((own && dbm < threshold_ && quiet >= kScanHangSweeps) || quiet > kScanHangSweeps) {
            Close(i, SnxActivityHit::End::kQuiet);
        }
    }
}

void CnxActivityDetector::OnListenReading(int64_t hertz, double dbm, int64_t ms) {
    if (!Admit(dbm, Mode::kListening)) {
        return;
    }
    Take(hertz, dbm, 0, ms);
    // Also the hits of a frequency the receiver was tuned away from: no longer heard.
    for (std::size_t i = open_.size(); i-- > 0;) {
        if (ms - open_[i].hit.endMs >= kListenHangMs) {
            Close(i, SnxActivityHit::End::kQuiet);
        }
    }
}

void CnxActivityDetector::Take(int64_t hertz, double dbm, uint32_t sweep, int64_t ms) {
    const bool above = dbm >= threshold_;
    for (Open& o : open_) {
        if (o.hit.frequency != hertz) {
            continue;
        }
        if (!above) {
            o.pendingSum += dbm;
            ++o.pendingReadings;
            return;
        }
        SnxActivityHit& hit = o.hit;
        hit.sumDbm += o.pendingSum + dbm;
        hit.readings += o.pendingReadings + 1;
        o.pendingSum = 0.0;
        o.pendingReadings = 0;
        hit.peakDbm = std::max(hit.peakDbm, dbm);
        hit.endMs = ms;
        o.lastAboveSweep = sweep;
        return;
    }
    if (!above) {
        return;
    }
    Open o;
    o.hit.slot = slot_;
    o.hit.frequency = hertz;
    const auto channel = CnxChannelPlan::ChannelOf(hertz);
    o.hit.channel = channel ? channel->number : 0;
    o.hit.startMs = o.hit.endMs = ms;
    o.hit.peakDbm = o.hit.sumDbm = dbm;
    o.hit.readings = 1;
    o.lastAboveSweep = sweep;
    sink_.HitOpened(o.hit);
    open_.push_back(std::move(o));
}

void CnxActivityDetector::Enter(Mode mode) {
    if (mode_ != mode) {
        CloseAll(SnxActivityHit::End::kStopped);
        mode_ = mode;
    }
}

void CnxActivityDetector::Close(std::size_t index, SnxActivityHit::End reason) {
    Open closed = std::move(open_[index]);
    open_.erase(open_.begin() + std::ptrdiff_t(index));
    closed.hit.end = reason;
    sink_.HitClosed(closed.hit);
}

void CnxActivityDetector::CloseAll(SnxActivityHit::End reason) {
    while (!open_.empty()) {
        Close(0, reason);
    }
}

std::vector<SnxActivityHit> CnxActivityDetector::GetOpenHits() const {
    std::vector<SnxActivityHit> hits;
    hits.reserve(open_.size());
    for (const Open& o : open_) {
        hits.push_back(o.hit);
    }
    return hits;
}
