// Audio: the player started at the deferred start, the receivers' and the player's blocks routed
// to the audio path (spectrum, volume, output, recording), the demo sound on the three demo
// frequencies, and the player held while a scan runs.
#include <QCoreApplication>
#include <QDateTime>
#include <QPushButton>

#include "app/CMainWindows.h"
#include "audio/CSndAudioPath.h"
#include "audio/CSndWavePlayer.h"
#include "audio/CSndWaveRecorder.h"
#include "receiver/CnxK740RXReceiver.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "spectrum/CnxCtrlSpectrumPanel.h"

namespace {
constexpr int32_t kDemoSoundFrequencies[] = {162250000, 142750000, 154000000};
}  // namespace

void CMainWindows::StartAudio() {
    audioPath_->OnSpectrumBlock.Subscribe(this, [this](void*, const CSndAudioPath::Block* block) {
        spectrum_->Show(block->samples.data(), static_cast<int>(block->samples.size()),
                        frequencyChanged_);
        frequencyChanged_ = false;
    });
    auto player = std::make_unique<CSndWavePlayer>(GetHandle());
    if (!player->IsReady()) {
        return;  // no sound device: the program goes on without audio
    }
    player_ = std::move(player);
    audioPath_->SetPlayer(player_.get());
    PlayReceiverSource();
}

void CMainWindows::StopAudio() {
    if (audioPath_) {
        audioPath_->StopRecording();
        audioPath_->SetPlayer(nullptr);
    }
    player_.reset();
}

void CMainWindows::PlayReceiverSource() {
    CnxK740RXReceiver* current = CurrentReceiver();
    if (player_ && current != nullptr) {
        player_->Play(current->IsDemo() ? CSndWavePlayer::PlayerModeNoise
                                        : CSndWavePlayer::PlayerModeSoundCard);
    }
}

void CMainWindows::PlayDemoSoundFor(int32_t frequency) {
    CnxK740RXReceiver* current = CurrentReceiver();
    if (!player_ || current == nullptr || !current->IsDemo()) {
        return;
    }
    const std::string file = QCoreApplication::applicationDirPath().toStdString() + "/demo.wav";
    player_->SetWaveFileName(file.c_str(), static_cast<uint32_t>(file.size() + 1));
    const bool sounding =
        std::find(std::begin(kDemoSoundFrequencies), std::end(kDemoSoundFrequencies), frequency) !=
        std::end(kDemoSoundFrequencies);
    if (sounding) {
        player_->Play(CSndWavePlayer::PlayerModeWaveFile);
    } else if (player_->GetMode() != CSndWavePlayer::PlayerModeNoise) {
        player_->Play(CSndWavePlayer::PlayerModeNoise);
    }
}

void CMainWindows::UpdateAudioState() {
    CnxK740RXReceiver* current = CurrentReceiver();
    const auto& s = settings_->Current();
    audioPath_->SetDemo(current != nullptr && current->IsDemo());
    audioPath_->SetPower(s.power != 0);
    audioPath_->SetScanning(IsSelectedScanning());
    audioPath_->SetVolume(s.volume);
    audioPath_->SetMonitor(s.mute != 0);
}

void CMainWindows::OnReceiverAudio(CnxK740RXReceiver* receiver, WPARAM block, LPARAM bytes) {
    if (IndexOf(receiver) < 0) {
        return;
    }
    // Handled at once: the receiver may refill its block as soon as it has it back. A demo
    // receiver is heard through the player (noise or the demo sound), not its own stream.
    if (receiver == CurrentReceiver() && !receiver->IsDemo()) {
        audioPath_->OnReceiverBlock(block, bytes);
    }
    receiver->AcknowledgeAudioBlock();
}

void CMainWindows::OnPlayerAudio(WPARAM samples, LPARAM bytes) {
    CnxK740RXReceiver* current = CurrentReceiver();
    if (player_ && current != nullptr && current->IsDemo()) {
        audioPath_->OnPlayerBlock(samples, bytes);
    }
}

void CMainWindows::SetRecording(bool on) {
    if (on == audioPath_->IsRecording()) {
        return;
    }
    recordingSince_ = QDateTime::currentDateTime();
    if (on) {
        const QString folder =
            CSndWaveRecorder::Folder(QString::fromStdString(settings_->GetSettingsDir()));
        const QString name = CSndWaveRecorder::FileName(
            QDateTime::currentDateTime(), GetSelectedReceiver() + 1, GetCurrentFrequency());
        audioPath_->StartRecording(folder + QLatin1Char('/') + name);
    } else {
        audioPath_->StopRecording();
    }
    if (recordButton_ != nullptr) {
        const QSignalBlocker block(recordButton_);
        recordButton_->setChecked(audioPath_->IsRecording());
        recordButton_->setToolTip(audioPath_->IsRecording()
                                      ? QStringLiteral("Recording to ") +
                                            audioPath_->GetRecordingPath()
                                      : QStringLiteral("Record what you hear to a WAV file"));
    }
    ShowRecordingTime();
}

void CMainWindows::ShowRecordingTime() {
    if (recordButton_ == nullptr) {
        return;
    }
    if (!audioPath_->IsRecording()) {
        recordButton_->setText(QStringLiteral("\u25CF Rec"));
        return;
    }
    const qint64 seconds = recordingSince_.secsTo(QDateTime::currentDateTime());
    recordButton_->setText(QStringLiteral("\u25CF %1:%2")
                               .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                               .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}
