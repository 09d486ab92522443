#pragma once
// The activity log of every receiver: it owns a hit detector per slot, the day files, the live
// list and the hit recordings, and it is the one place that changes a receiver's activity
// threshold and "Record hits" setting (the settings keep both, per radio).
//
// What it hears: a scanning receiver's samples as the scan controller takes them (each at its
// point's frequency, with its sweep); and on every level-poll tick, every receiver that is not
// scanning (stopped or paused, selected or not) where it is tuned, as its S-meter would show it.
// A receiver that cannot be read or is lost closes its hits as lost; a scan that starts, pauses,
// resumes or stops closes them as stopped, as does the end of the program.
//
// What it shows: the list (newest first, open hits running), the threshold line and each
// frequency's hits on the receivers' graphs, the selected receiver's threshold and switch on the
// panel. Every closed hit is appended to the day's file at once; a file that cannot be written is
// told once until a line is written again, and the list goes on. While the selected receiver
// listens (not scanning) and records hits, each hit's audio goes to a WAV file beside the files,
// named in the hit's line.
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "activity/CnxActivityDetector.h"
#include "activity/CnxActivityListModel.h"
#include "activity/CnxActivityLog.h"
#include "audio/CSndAudioPath.h"
#include "audio/CSndWaveRecorder.h"
#include "core/K740RXMessageRecords.h"
#include "core/TmyEvents.h"
#include "scanner/SnxPointActivity.h"
#include "settings/K740RXSlots.h"

class CnxK740RXFileIniApp;
class CnxK740RX_ReceiverManager;
class InxActivityGraph;
class InxActivityPanel;
class InxSlotLevels;
class InxOperatorNotices;
class InxScanStates;

class CnxActivityController : private InxActivitySink {
public:
    using Graphs = std::array<InxActivityGraph*, kK740RXSlotCount>;
    // UTC milliseconds since 1970.
    using Clock = std::function<int64_t()>;

    // All borrowed; graphs may be null. The clock is the system's unless a test gives one.
    CnxActivityController(CnxK740RXFileIniApp& settings, CnxK740RX_ReceiverManager& receivers,
                          const InxScanStates& scans, InxSlotLevels& levels,
                          InxOperatorNotices& notices, const Graphs& graphs, Clock clock = {});
    // Open hits end as stopped and are written.
    ~CnxActivityController() override;

    CnxActivityListModel& Model() { return model_; }
    const CnxActivityLog& Log() const { return log_; }
    void SetPanel(InxActivityPanel* panel);

    // The selected receiver changed: the panel shows its values, and a hit recording of the
    // receiver before it ends (its audio is no longer heard).
    void SelectSlot(int slot);
    // In dBm, kept in whole dB on the graph's scale.
    void SetThreshold(int slot, double dbm);
    int32_t GetThreshold(int slot) const;
    void SetRecordHits(int slot, bool on);

    // A sample the scan controller took for its slot's run.
    void OnScanSample(int slot, const ScanSample& sample);
    // The level-poll tick, after the S-meter's own poll.
    void Poll();
    void ScanStateChanged(int slot);
    void ReceiverLost(int slot);
    // The selected receiver's audio as it is heard.
    void OnAudioHeard(const CSndAudioPath::Block& block);

    // How often a frequency was heard by a slot's receiver, and when last.
    SnxPointActivity GetActivity(int slot, int64_t hertz) const;

    // A hit opened or closed: how many are open now.
    TmyEventList<int> OnOpenHitsChanged;

private:
    struct HitRecording {
        uint64_t hit = 0;
        QString name;
        CSndWaveRecorder file;
        bool opened = false;
        bool ended = false;  // no more audio belongs to it
    };

    void HitOpened(SnxActivityHit& hit) override;
    void HitClosed(const SnxActivityHit& hit) override;
    void ShowActivity(int slot, int64_t hertz, const SnxPointActivity& activity);
    void ShowReceiverSettings(int slot);
    void Follow(int slot);  // the detector takes the slot's threshold as the settings hold it
    void StartRecording(const SnxActivityHit& hit);
    void RecordingFailed(const QString& reason);
    void Write(const SnxActivityHit& hit);
    bool IsSlot(int slot) const { return slot >= 0 && slot < kK740RXSlotCount; }

    CnxK740RXFileIniApp& settings_;
    CnxK740RX_ReceiverManager& receivers_;
    const InxScanStates& scans_;
    InxSlotLevels& levels_;
    InxOperatorNotices& notices_;
    Graphs graphs_;
    Clock clock_;
    InxActivityPanel* panel_ = nullptr;
    CnxActivityLog log_;
    CnxActivityListModel model_;
    std::vector<CnxActivityDetector> detectors_;
    std::array<std::unordered_map<int64_t, SnxPointActivity>, kK740RXSlotCount> heard_;
    std::unique_ptr<HitRecording> recording_;
    uint64_t nextId_ = 1;
    int openCount_ = 0;
    bool toldLogFailure_ = false;
    bool toldRecordingFailure_ = false;
    bool closing_ = false;
};
