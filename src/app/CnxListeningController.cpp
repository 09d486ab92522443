#include "app/CnxListeningController.h"

#include <QCoreApplication>
#include <algorithm>
#include <limits>

#include "app/InxOperatorNotices.h"
#include "app/InxScanStates.h"
#include "audio/CSndAudioPath.h"
#include "audio/CSndWavePlayer.h"
#include "audio/CSndWaveRecorder.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "smeter/CnxK740RXDlgCalibration.h"
#include "smeter/CnxSMeterLevelRules.h"
#include "spectrum/CnxCtrlSpectrumPanel.h"
#include "tuning/CnxCtrlTuningPanel.h"

CnxListeningController::CnxListeningController(CnxK740RXFileIniApp& settings,
                                               CnxK740RX_ReceiverManager& receivers,
                                               const InxScanStates& scans,
                                               InxOperatorNotices& notices, QWidget& window,
                                               HWND messageWindow, CnxCtrlTuningPanel& panel,
                                               CnxCtrlSpectrumPanel& spectrum, const Meters& meters)
    : settings_(settings),
      receivers_(receivers),
      scans_(scans),
      notices_(notices),
      window_(window),
      messageWindow_(messageWindow),
      panel_(panel),
      spectrum_(spectrum),
      meters_(meters),
      audioPath_(std::make_unique<CSndAudioPath>()) {
    subscriptions_.push_back(
        audioPath_->OnSpectrumBlock.Subscribe([this](void*, const CSndAudioPath::Block* block) {
            spectrum_.Show(block->samples.data(), static_cast<int>(block->samples.size()),
                           static_cast<int>(block->sampleRate), frequencyChanged_);
            frequencyChanged_ = false;
            OnAudioHeard.Raise(this, block);
        }));
    subscriptions_.push_back(audioPath_->OnRecordingStopped.Subscribe(
        [this](void*, const QString& reason) { RecordingFailed(reason); }));
}

CnxListeningController::~CnxListeningController() {
    calibration_.reset();
    StopAudio();
}

int CnxListeningController::Selected() const {
    return settings_.GetSelectedReceiver();
}

CnxK740RXReceiver* CnxListeningController::Current() const {
    return receivers_.GetReceiver(Selected());
}

CnxCtrlSMeter* CnxListeningController::SelectedMeter() const {
    return meters_[size_t(Selected())];
}

bool CnxListeningController::StartAudio() {
    auto player = std::make_unique<CSndWavePlayer>(messageWindow_);
    if (!player->IsReady()) {
        return false;
    }
    player_ = std::move(player);
    audioPath_->SetPlayer(player_.get());
    PlayReceiverSource();
    UpdateAudioState();
    return true;
}

void CnxListeningController::StopAudio() {
    audioPath_->StopRecording();
    audioPath_->SetPlayer(nullptr);
    player_.reset();
}

void CnxListeningController::BeginSelection() {
    audioPath_->BeginSelection();
}

void CnxListeningController::SelectSlot(int slot) {
    for (CnxCtrlSMeter* meter : meters_) {
        meter->setEnabled(false);
    }
    PlayReceiverSource();
    const auto& stored = settings_.Receiver(slot);
    SetVolume(stored.volume, true);
    SetMonitor(stored.mute != 0, true);
    SetSMeterCal(stored.sMeterCal, true);
    ShowAttenuator(stored.atten != 0);
}

void CnxListeningController::EndSelection() {
    UpdateAudioState();
    audioPath_->EndSelection();
}

void CnxListeningController::PlayReceiverSource() {
    CnxK740RXReceiver* current = Current();
    if (player_ && current != nullptr) {
        player_->Play(current->IsDemo() ? CSndWavePlayer::PlayerModeNoise
                                        : CSndWavePlayer::PlayerModeSoundCard);
    }
}

void CnxListeningController::PlayDemoSoundFor(int32_t frequency) {
    CnxK740RXReceiver* current = Current();
    if (!player_ || current == nullptr || !current->IsDemo()) {
        return;
    }
    const std::string file = QCoreApplication::applicationDirPath().toStdString() + "/demo.wav";
    player_->SetWaveFileName(file.c_str(), static_cast<uint32_t>(file.size() + 1));
    if (CnxChannelPlan::DemoSignalAt(frequency)) {
        player_->Play(CSndWavePlayer::PlayerModeWaveFile);
    } else if (player_->GetMode() != CSndWavePlayer::PlayerModeNoise) {
        player_->Play(CSndWavePlayer::PlayerModeNoise);
    }
}

void CnxListeningController::UpdateAudioState() {
    const CnxK740RXReceiver* current = Current();
    const auto& s = settings_.Current();
    audioPath_->SetDemo(current != nullptr && current->IsDemo());
    audioPath_->SetPower(s.power != 0);
    audioPath_->SetScanning(scans_.IsScanning(Selected()));
    audioPath_->SetVolume(s.volume);
    audioPath_->SetMonitor(s.mute != 0);
}

void CnxListeningController::SetVolume(int volume, bool force) {
    auto& s = settings_.Current();
    const int top = std::max<int>(s.volumeMin, s.volumeMax);
    const int v = std::clamp<int>(volume, s.volumeMin, top);
    if (v == s.volume && !force) {
        return;
    }
    s.volume = v;
    UpdateAudioState();
    panel_.ShowVolume(v, s.volumeMin, top);
}

void CnxListeningController::ChangeVolume(int steps) {
    SetVolume(settings_.Current().volume + steps);
}

void CnxListeningController::SetMonitor(bool on, bool force) {
    if (int32_t(on) == settings_.Current().mute && !force) {
        return;
    }
    settings_.Current().mute = on ? 1 : 0;
    UpdateAudioState();
    panel_.ShowMonitor(on);
}

void CnxListeningController::SetRecording(bool on) {
    if (on != audioPath_->IsRecording()) {
        recordingSince_ = QDateTime::currentDateTime();
        if (on) {
            const QString folder =
                CSndWaveRecorder::Folder(QString::fromStdString(settings_.GetSettingsDir()));
            const QString name = CSndWaveRecorder::FileName(recordingSince_, Selected() + 1,
                                                            settings_.Current().frequency);
            if (!audioPath_->StartRecording(folder + QLatin1Char('/') + name)) {
                RecordingFailed(QStringLiteral("The recording cannot be started in\n%1\n(%2).")
                                    .arg(folder, audioPath_->GetRecordingError()));
            }
        } else {
            audioPath_->StopRecording();
        }
    }
    ShowRecordingTime();
}

void CnxListeningController::RecordingFailed(const QString& reason) {
    // Each recording fails once: the switch goes off and the operator is told why.
    ShowRecordingTime();
    notices_.Tell(QStringLiteral(" Recording"), reason);
}

void CnxListeningController::ShowRecordingTime() {
    if (!audioPath_->IsRecording()) {
        panel_.ShowRecording(false, QString(),
                             QStringLiteral("Record what you hear to a WAV file"));
        return;
    }
    const qint64 seconds = recordingSince_.secsTo(QDateTime::currentDateTime());
    panel_.ShowRecording(true,
                         QStringLiteral("%1:%2")
                             .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0')),
                         QStringLiteral("Recording to ") + audioPath_->GetRecordingPath());
}

void CnxListeningController::PollLevel() {
    CnxK740RXReceiver* current = Current();
    if (current == nullptr || scans_.IsScanning(Selected())) {
        return;  // a scanning receiver's meter holds its last reading
    }
    // A receiver that cannot be read shows no reading (NaN) rather than its last one.
    level_ = ReadLevel(*current);
    ShowLevel();
}

double CnxListeningController::ReadLevel(CnxK740RXReceiver& receiver) {
    const bool live =
        receiver.IsPoweredOn() && receiver.IsDeviceConnected() && receiver.AreStreamsRunning();
    return live || receiver.IsDemo() ? receiver.GetLevelDbm()
                                     : std::numeric_limits<double>::quiet_NaN();
}

double CnxListeningController::GetHeardLevel(int slot) {
    CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    if (receiver == nullptr) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const double reading = slot == Selected() ? level_ : ReadLevel(*receiver);
    const auto& s = settings_.Receiver(slot);
    return CnxSMeterLevelRules::ShownLevel(reading, s.sMeterCal, receiver->IsDemo(), s.frequency,
                                           s.atten != 0);
}

void CnxListeningController::ShowLevel() {
    CnxCtrlSMeter* meter = SelectedMeter();
    const CnxK740RXReceiver* current = Current();
    if (current == nullptr) {
        return;
    }
    const auto& s = settings_.Current();
    meter->SetLevel(CnxSMeterLevelRules::ShownLevel(level_, s.sMeterCal, current->IsDemo(),
                                                    s.frequency, s.atten != 0));
}

double CnxListeningController::GetLevelDbm(int slot) {
    CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    if (receiver == nullptr || !receiver->IsConnected()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return receiver->GetLevelDbm() + settings_.Receiver(slot).sMeterCal / 10.0;
}

void CnxListeningController::ReceiverLost(int slot) {
    if (slot == Selected()) {
        level_ = std::numeric_limits<double>::quiet_NaN();
        ShowLevel();
    }
}

void CnxListeningController::SetSMeterCal(int32_t tenths, bool force) {
    CnxCtrlSMeter* meter = SelectedMeter();
    const auto reading = CnxSMeterLevelRules::ReadingToReshow(settings_.Current().sMeterCal, tenths,
                                                              force, meter->GetLevel());
    if (!reading) {
        return;
    }
    settings_.Current().sMeterCal = tenths;
    if (CnxK740RXReceiver* current = Current()) {
        current->SetLevelCorrection(tenths);
    }
    meter->SetLevel(*reading + tenths / 10.0);
    if (calibration_) {
        calibration_->ShowOffset(tenths);
    }
}

void CnxListeningController::OpenCalibrationWindow() {
    if (!calibration_) {
        calibration_ = std::make_unique<CnxK740RXDlgCalibration>(
            &window_, messageWindow_, [this](int32_t tenths) { SetSMeterCal(tenths); });
        calibration_->ShowOffset(settings_.Current().sMeterCal);
    }
    calibration_->show();
    calibration_->raise();
}

void CnxListeningController::CloseCalibrationWindow() {
    calibration_.reset();
}

void CnxListeningController::Tuned(int32_t frequency) {
    frequencyChanged_ = true;
    spectrum_.SetFrequency(frequency);
    PlayDemoSoundFor(frequency);
}

void CnxListeningController::ScanStateChanged(int slot) {
    if (slot != Selected()) {
        return;
    }
    UpdateAudioState();
    if (!player_) {
        return;
    }
    // A scan hears nothing: its sound would be that of every channel.
    if (scans_.IsScanning(slot)) {
        player_->Stop();
    } else {
        PlayReceiverSource();  // before the retune, which picks the demo sound where it plays
    }
}

void CnxListeningController::ShowAttenuator(bool on) {
    SelectedMeter()->SetAttenuator(on);
}

void CnxListeningController::OnReceiverAudio(CnxK740RXReceiver* receiver, const AudioBlock& block) {
    // Handled at once: the receiver may refill its block as soon as it has it back. A demo
    // receiver is heard through the player (noise or the demo sound), not its own stream.
    if (receiver == Current() && !receiver->IsDemo()) {
        audioPath_->OnReceiverBlock(block);
    }
    receiver->AcknowledgeAudioBlock();
}

void CnxListeningController::OnPlayerAudio(WPARAM samples, LPARAM bytes) {
    const CnxK740RXReceiver* current = Current();
    if (player_ && current != nullptr && current->IsDemo()) {
        audioPath_->OnPlayerBlock(samples, bytes);
    }
}
