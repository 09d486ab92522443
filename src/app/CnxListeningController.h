#pragma once
// Listening to the selected receiver: its audio (the player, the audio path with spectrum, volume,
// monitor and recording, the demo sound on the demo frequencies) and its level on the S-meter with
// the operator's calibration offset, which the calibration window edits here. It also tells what
// every other receiver that is not scanning hears where it is tuned, by the same rules.
#include <QDateTime>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "app/InxSlotLevels.h"
#include "audio/CSndAudioPath.h"
#include "core/K740RXMessageRecords.h"
#include "core/TmyEvents.h"
#include "core/TmyTypes.h"
#include "settings/K740RXSlots.h"

class CnxCtrlSMeter;
class CnxCtrlSpectrumPanel;
class CnxCtrlTuningPanel;
class CnxK740RXDlgCalibration;
class CnxK740RXFileIniApp;
class CnxK740RXReceiver;
class CnxK740RX_ReceiverManager;
class CSndWavePlayer;
class InxOperatorNotices;
class InxScanStates;

class CnxListeningController : public InxSlotLevels {
public:
    using Meters = std::array<CnxCtrlSMeter*, kK740RXSlotCount>;
    // The rate of the window's own audio format: what the output plays.
    static constexpr int kOutputRate = 64000;

    // All borrowed. `window` gets the player's messages and owns the calibration window.
    CnxListeningController(CnxK740RXFileIniApp& settings, CnxK740RX_ReceiverManager& receivers,
                           const InxScanStates& scans, InxOperatorNotices& notices, QWidget& window,
                           HWND messageWindow, CnxCtrlTuningPanel& panel,
                           CnxCtrlSpectrumPanel& spectrum, const Meters& meters);
    ~CnxListeningController();

    // The player, started at the deferred start; false when there is no sound device (the
    // program then goes on without audio).
    bool StartAudio();
    void StopAudio();

    // A change of the selected receiver: blocks are held back from Begin to End. SelectSlot plays
    // the slot's source and applies its volume, monitor and offset.
    void BeginSelection();
    void SelectSlot(int slot);
    void EndSelection();

    void SetVolume(int volume, bool force = false);
    void ChangeVolume(int steps);
    void SetMonitor(bool on, bool force = false);
    void SetRecording(bool on);
    // The selected receiver's offset, in tenths of a dB.
    void SetSMeterCal(int32_t tenths, bool force = false);
    void OpenCalibrationWindow();
    void CloseCalibrationWindow();
    CnxK740RXDlgCalibration* CalibrationWindow() const { return calibration_.get(); }

    // The timer's work: the selected receiver's level, and the Record switch's clock.
    void PollLevel();
    void ShowRecordingTime();
    // dBm; NaN while the selected receiver cannot be read.
    double GetLevel() const { return level_; }
    // A slot's level as the remote control reads it, the offset included; NaN when it cannot
    // be read.
    double GetLevelDbm(int slot) override;
    // The selected receiver answers with the latest poll's reading, so its radio is read once per
    // tick; any other is read when asked.
    double GetHeardLevel(int slot) override;

    // What the other controllers tell.
    void Tuned(int32_t frequency);
    void ScanStateChanged(int slot);
    void ShowAttenuator(bool on);
    void ReceiverLost(int slot);

    // The receivers' and the player's audio messages.
    void OnReceiverAudio(CnxK740RXReceiver* receiver, const AudioBlock& block);
    void OnPlayerAudio(WPARAM samples, LPARAM bytes);

    // Every block of the selected receiver's audio as it is heard (before the volume), at its own
    // rate, while the receiver is on and not scanning.
    TmyEventList<const CSndAudioPath::Block*> OnAudioHeard;

private:
    int Selected() const;
    CnxK740RXReceiver* Current() const;
    CnxCtrlSMeter* SelectedMeter() const;
    void PlayReceiverSource();
    void PlayDemoSoundFor(int32_t frequency);
    void UpdateAudioState();
    void ShowLevel();
    // What a receiver reads where it is tuned, without the offset; NaN when it cannot be read
    // (switched off, lost, its stream not running). Demo receivers can always be read.
    static double ReadLevel(CnxK740RXReceiver& receiver);
    void RecordingFailed(const QString& reason);

    CnxK740RXFileIniApp& settings_;
    CnxK740RX_ReceiverManager& receivers_;
    const InxScanStates& scans_;
    InxOperatorNotices& notices_;
    QWidget& window_;
    HWND messageWindow_;
    CnxCtrlTuningPanel& panel_;
    CnxCtrlSpectrumPanel& spectrum_;
    Meters meters_;
    std::unique_ptr<CSndAudioPath> audioPath_;
    std::unique_ptr<CSndWavePlayer> player_;
    std::unique_ptr<CnxK740RXDlgCalibration> calibration_;
    double level_ = -130.0;
    bool frequencyChanged_ = false;
    QDateTime recordingSince_;
    TmySubscriptions subscriptions_;
};
