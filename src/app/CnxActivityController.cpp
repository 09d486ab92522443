#include "app/CnxActivityController.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

#include "activity/InxActivityPanel.h"
#include "app/InxOperatorNotices.h"
#include "app/InxScanStates.h"
#include "app/InxSlotLevels.h"
#include "app/K740RXAppLog.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "scanner/InxActivityGraph.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {

const QString kCaption = QStringLiteral(" Activity log");

using Settings = SnxK740RXReceiverSettings;

}  // namespace

CnxActivityController::CnxActivityController(CnxK740RXFileIniApp& settings,
                                             CnxK740RX_ReceiverManager& receivers,
                                             const InxScanStates& scans, InxSlotLevels& levels,
                                             InxOperatorNotices& notices, const Graphs& graphs,
                                             Clock clock)
    : settings_(settings),
      receivers_(receivers),
      scans_(scans),
      levels_(levels),
      notices_(notices),
      graphs_(graphs),
      clock_(clock ? std::move(clock) : [] { return QDateTime::currentMSecsSinceEpoch(); }),
      log_(QString::fromStdString(settings.GetSettingsDir()) + QStringLiteral("/Activity")) {
    detectors_.reserve(kK740RXSlotCount);
    InxActivitySink& sink = *this;
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        detectors_.emplace_back(slot, sink);
        Follow(slot);
        if (graphs_[size_t(slot)] != nullptr) {
            graphs_[size_t(slot)]->ShowThreshold(GetThreshold(slot));
        }
    }
}

CnxActivityController::~CnxActivityController() {
    closing_ = true;  // no window to tell anything in any more
    for (CnxActivityDetector& detector : detectors_) {
        detector.CloseAll(SnxActivityHit::End::kStopped);
    }
}

void CnxActivityController::SetPanel(InxActivityPanel* panel) {
    panel_ = panel;
    ShowReceiverSettings(settings_.GetSelectedReceiver());
}

void CnxActivityController::SelectSlot(int slot) {
    if (recording_ && !recording_->ended) {
        recording_->ended = true;
        recording_->file.Close();
    }
    ShowReceiverSettings(slot);
}

int32_t CnxActivityController::GetThreshold(int slot) const {
    return settings_.Receiver(slot).activityThreshold;
}

void CnxActivityController::SetThreshold(int slot, double dbm) {
    if (!IsSlot(slot) || std::isnan(dbm)) {
        return;
    }
    const auto whole =
        int32_t(std::clamp(std::lround(dbm), long(Settings::kLowestActivityThreshold),
                           long(Settings::kHighestActivityThreshold)));
    settings_.Receiver(slot).activityThreshold = whole;
    Follow(slot);
    if (graphs_[size_t(slot)] != nullptr) {
        graphs_[size_t(slot)]->ShowThreshold(whole);
    }
    if (slot == settings_.GetSelectedReceiver()) {
        ShowReceiverSettings(slot);
    }
}

void CnxActivityController::SetRecordHits(int slot, bool on) {
    if (!IsSlot(slot)) {
        return;
    }
    settings_.Receiver(slot).recordHits = on ? 1 : 0;
    if (slot == settings_.GetSelectedReceiver()) {
        ShowReceiverSettings(slot);
    }
}

void CnxActivityController::ShowReceiverSettings(int slot) {
    if (panel_ != nullptr && IsSlot(slot)) {
        panel_->ShowReceiverSettings(slot, GetThreshold(slot),
                                     settings_.Receiver(slot).recordHits != 0);
    }
}

void CnxActivityController::Follow(int slot) {
    detectors_[size_t(slot)].SetThreshold(GetThreshold(slot));
}

void CnxActivityController::OnScanSample(int slot, const ScanSample& sample) {
    if (!IsSlot(slot) || !scans_.IsScanning(slot)) {
        return;  // a late sample of a scan that was paused or stopped
    }
    const CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    if (receiver == nullptr) {
        return;
    }
    Follow(slot);
    detectors_[size_t(slot)].OnScanReading(receiver->GetScanPointFrequency(sample.point),
                                           sample.level, sample.sweep, clock_());
}

void CnxActivityController::Poll() {
    const int64_t now = clock_();
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        if (receivers_.GetReceiver(slot) == nullptr || scans_.IsScanning(slot)) {
            continue;
        }
        Follow(slot);
        detectors_[size_t(slot)].OnListenReading(settings_.Receiver(slot).frequency,
                                                 levels_.GetHeardLevel(slot), now);
    }
    // The open hits' rows run on: duration, peak and mean as they stand.
    for (const CnxActivityDetector& detector : detectors_) {
        for (const SnxActivityHit& hit : detector.GetOpenHits()) {
            model_.Update(hit);
        }
    }
    model_.SetNow(now);
}

void CnxActivityController::ScanStateChanged(int slot) {
    if (IsSlot(slot)) {
        detectors_[size_t(slot)].CloseAll(SnxActivityHit::End::kStopped);
    }
}

void CnxActivityController::ReceiverLost(int slot) {
    if (IsSlot(slot)) {
        detectors_[size_t(slot)].CloseAll(SnxActivityHit::End::kLost);
    }
}

SnxPointActivity CnxActivityController::GetActivity(int slot, int64_t hertz) const {
    if (!IsSlot(slot)) {
        return {};
    }
    const auto found = heard_[size_t(slot)].find(hertz);
    return found != heard_[size_t(slot)].end() ? found->second : SnxPointActivity{};
}

void CnxActivityController::ShowActivity(int slot, int64_t hertz,
                                         const SnxPointActivity& activity) {
    heard_[size_t(slot)][hertz] = activity;
    if (graphs_[size_t(slot)] != nullptr) {
        graphs_[size_t(slot)]->ShowActivity(hertz, activity);
    }
}

void CnxActivityController::HitOpened(SnxActivityHit& hit) {
    hit.id = nextId_++;
    if (const CnxK740RXReceiver* receiver = receivers_.GetReceiver(hit.slot)) {
        const RadioInfo& info = receiver->GetCurrentRadioInfo();
        hit.serial =
            QString::fromLatin1(info.serial, int(strnlen(info.serial, sizeof info.serial)));
    }
    model_.Add(hit);
    SnxPointActivity activity = GetActivity(hit.slot, hit.frequency);
    ++activity.hits;
    activity.lastUtcMs = hit.startMs;
    activity.open = true;
    ShowActivity(hit.slot, hit.frequency, activity);
    StartRecording(hit);
    OnOpenHitsChanged.Raise(this, ++openCount_);
}

void CnxActivityController::HitClosed(const SnxActivityHit& hit) {
    SnxActivityHit written = hit;
    if (recording_ && recording_->hit == hit.id) {
        recording_->file.Close();
        if (recording_->opened) {
            written.recording = recording_->name;
        }
        recording_.reset();
    }
    Write(written);
    model_.Update(written);
    SnxPointActivity activity = GetActivity(hit.slot, hit.frequency);
    activity.open = false;
    ShowActivity(hit.slot, hit.frequency, activity);
    OnOpenHitsChanged.Raise(this, --openCount_);
}

void CnxActivityController::Write(const SnxActivityHit& hit) {
    if (log_.Append(hit)) {
        toldLogFailure_ = false;  // a later failure is a new episode, told again
        return;
    }
    qCWarning(lcApp) << "activity log:" << log_.GetError();
    if (toldLogFailure_ || closing_) {
        return;
    }
    toldLogFailure_ = true;
    notices_.Tell(kCaption,
                  QStringLiteral("The activity log cannot be written:\n%1\n\nHits are still listed "
                                 "under Activity, but not kept in the file until it can be "
                                 "written again.")
                      .arg(log_.GetError()));
}

// Only the selected receiver is heard, and only while it listens to one frequency (its scan
// stopped or paused).
void CnxActivityController::StartRecording(const SnxActivityHit& hit) {
    if (recording_ || hit.slot != settings_.GetSelectedReceiver() || scans_.IsScanning(hit.slot) ||
        settings_.Receiver(hit.slot).recordHits == 0) {
        return;
    }
    recording_ = std::make_unique<HitRecording>();
    recording_->hit = hit.id;
    recording_->name = CnxActivityLog::RecordingName(hit);
}

void CnxActivityController::OnAudioHeard(const CSndAudioPath::Block& block) {
    if (!recording_ || recording_->ended || block.samples.empty()) {
        return;
    }
    HitRecording& r = *recording_;
    // Opened with the first block, which tells the rate.
    if (!r.opened) {
        if (!r.file.Open(log_.GetFolder() + QLatin1Char('/') + r.name, block.sampleRate)) {
            RecordingFailed(r.file.GetError());
            return;
        }
        r.opened = true;
        toldRecordingFailure_ = false;
    }
    std::vector<int16_t> pcm(block.samples.size());
    std::transform(block.samples.begin(), block.samples.end(), pcm.begin(), [](float x) {
        return int16_t(std::lround(std::clamp(x, -1.0f, 32767.0f / 32768.0f) * 32768.0f));
    });
    if (!r.file.Write(pcm.data(), uint32_t(pcm.size()))) {
        RecordingFailed(r.file.GetError());
    }
}

void CnxActivityController::RecordingFailed(const QString& reason) {
    // This hit goes unrecorded (what reached its file stays named); the next one tries again.
    recording_->ended = true;
    qCWarning(lcApp) << "hit recording:" << reason;
    if (!toldRecordingFailure_) {
        toldRecordingFailure_ = true;
        notices_.Tell(kCaption, QStringLiteral("A hit cannot be recorded:\n%1").arg(reason));
    }
}
