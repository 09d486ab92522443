// Tuning: frequency changes from every source, channel mode, switches and the keyboard.
#include <QKeyEvent>
#include <QPushButton>
#include <QSlider>
#include <QWheelEvent>

#include "app/CMainWindows.h"
#include "app/CnxCtrlFrequency.h"
#include "app/CnxCtrlFrequencyBand.h"
#include "app/CnxCtrlKnob.h"
#include "app/CnxMainWindowKeys.h"
#include "app/CnxTuningRules.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "mixer/CmqKnobBoxMapping.h"
#include "receiver/CnxK740RXCtrlReceiverManager.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "spectrum/CnxCtrlSpectrumPanel.h"

int32_t CMainWindows::GetCurrentFrequency() const {
    return settings_->Current().frequency;
}

bool CMainWindows::IsChannelMode() const {
    return settings_->Current().stepChannel != 0;
}

void CMainWindows::FrequencySet(int index, int32_t frequency, bool force) {
    if (index < 0 || index >= kMaxReceivers) {
        return;
    }
    SnxReceiverSlot& slot = slots_[index];
    if (frequency == slot.frequency && !force) {
        return;
    }
    const int32_t f = CnxTuningRules::Clamp(frequency, upperLimit_);
    slot.frequency = f;
    if (receiverList_ != nullptr) {
        receiverList_->SetItemFrequency(index, f);
    }
    if (index != GetSelectedReceiver()) {
        TuneOther(index, f);
        return;
    }
    if (frequencyEntry_ != nullptr) {
        frequencyEntry_->Model().ShowFrequency(f);
    }
    if (settings_->Current().power != 0 && (f != GetCurrentFrequency() || force)) {
        TuneSelected(f);
    }
}

void CMainWindows::TuneOther(int index, int32_t frequency) {
    SnxReceiverSlot& slot = slots_[index];
    if (scanRun_.IsActive(index)) {
        // A sweep holds the radio; the slot goes to the new frequency when its scan ends.
        scanRun_.SetFrequencyBeforeScan(index, frequency);
    }
    CnxK740RXReceiver* receiver = manager_ ? manager_->GetReceiver(index) : nullptr;
    if (receiver != nullptr && !scanRun_.IsScanning(index)) {
        receiver->SetFrequency(frequency);
        if (const int32_t tuned = receiver->GetFrequency(); tuned != 0) {
            slot.frequency = tuned;
        }
    }
}

void CMainWindows::TuneSelected(int32_t frequency) {
    const int selected = GetSelectedReceiver();
    int32_t f = frequency;
    if (IsChannelMode()) {
        f = CnxTuningRules::SnapToChannelRaster(f, GetCurrentFrequency(), upperLimit_);
    }
    settings_->Current().frequency = f;
    frequencyChanged_ = true;
    if (calibrator_) {
        calibrator_->SetFrequency(f);
    }
    if (scanRun_.IsActive(selected)) {
        scanRun_.SetFrequencyBeforeScan(selected, f);
    }
    if (!scanRun_.IsScanning(selected)) {
        if (CnxK740RXReceiver* current = CurrentReceiver()) {
            current->SetFrequency(f);
            if (const int32_t tuned = current->GetFrequency(); tuned != 0) {
                settings_->Current().frequency = tuned;
            }
        }
        if (spectrum_ != nullptr) {
            spectrum_->SetFrequency(GetCurrentFrequency());
        }
        PlayDemoSoundFor(GetCurrentFrequency());
    }
    ShowSelectedFrequency(GetCurrentFrequency());
}

void CMainWindows::ShowSelectedFrequency(int32_t frequency) {
    // Entry, list row, band and channel always tell of the same frequency, raster and all.
    const int selected = GetSelectedReceiver();
    slots_[selected].frequency = frequency;
    if (receiverList_ != nullptr) {
        receiverList_->SetItemFrequency(selected, frequency);
    }
    ShowScanPosition(frequency);
}

void CMainWindows::ShowScanPosition(int32_t frequency) {
    if (frequencyEntry_ != nullptr) {
        frequencyEntry_->Model().ShowFrequency(frequency);
    }
    if (bandDisplay_ != nullptr) {
        bandDisplay_->SetPath(settings_->GetBandFilePath());
        bandDisplay_->SetFrequency(frequency);
    }
    UpdateChannelDisplay(frequency);
}

void CMainWindows::UpdateChannelDisplay(int32_t frequency) {
    if (bandDisplay_ == nullptr) {
        return;
    }
    const auto channel = CnxChannelPlan::ChannelOf(frequency);
    bandDisplay_->SetChannelText(CnxChannelPlan::ChannelText(channel));
    bandDisplay_->SetOnChannel(channel && channel->frequency == frequency);
}

void CMainWindows::SetChannelMode(bool on, bool force) {
    settings_->Current().stepChannel = on ? 1 : 0;
    if (channelButton_ != nullptr) {
        const QSignalBlocker block(channelButton_);
        channelButton_->setChecked(on);
    }
    SetStep(on ? 375000 : 10000, force);
    if (GetSelectedReceiver() >= 0) {
        FrequencySet(GetSelectedReceiver(), GetCurrentFrequency(), true);
    }
}

void CMainWindows::SetStep(int32_t step, bool force) {
    if (step == knobStep_ && !force) {
        return;
    }
    knobStep_ = step;
    if (knob_ != nullptr) {
        knob_->SetStep(step);
    }
    if (knobBox_) {
        knobBox_->OnChannelModeChanged(step == CnxChannelPlan::kSpacing);
    }
}

void CMainWindows::SetAttenuator(bool on, bool force) {
    if (int32_t(on) == settings_->Current().atten && !force) {
        return;
    }
    settings_->Current().atten = on ? 1 : 0;
    if (CnxK740RXReceiver* current = CurrentReceiver();
        current != nullptr && !IsSelectedScanning()) {
        current->SetAttenuator(on);
    }
    if (attenButton_ != nullptr) {
        const QSignalBlocker block(attenButton_);
        attenButton_->setChecked(on);
    }
    if (CnxCtrlSMeter* meter = SelectedMeter()) {
        meter->SetAttenuator(on);
    }
}

void CMainWindows::SetRFAmplifier(bool /*request*/, bool force) {
    // The amplifier always stays on: every request turns it on, and its switch shows it on.
    if (rfAmpButton_ != nullptr) {
        const QSignalBlocker block(rfAmpButton_);
        rfAmpButton_->setChecked(true);
    }
    if (settings_->Current().preamp == 1 && !force) {
        return;
    }
    settings_->Current().preamp = 1;
    if (CnxK740RXReceiver* current = CurrentReceiver();
        current != nullptr && !IsSelectedScanning()) {
        current->SetRFAmp(1);
    }
}

void CMainWindows::SetVolume(int volume, bool force) {
    const auto& s = settings_->Current();
    const int v = std::clamp<int>(volume, s.volumeMin, std::max<int>(s.volumeMin, s.volumeMax));
    if (v == settings_->Current().volume && !force) {
        return;
    }
    settings_->Current().volume = v;
    UpdateAudioState();
    if (volumeSlider_ != nullptr) {
        const QSignalBlocker block(volumeSlider_);
        volumeSlider_->setRange(s.volumeMin, std::max<int>(s.volumeMin, s.volumeMax));
        volumeSlider_->setValue(v);
    }
}

void CMainWindows::SetMonitor(bool on, bool force) {
    if (int32_t(on) == settings_->Current().mute && !force) {
        return;
    }
    settings_->Current().mute = on ? 1 : 0;
    UpdateAudioState();
    if (monitorButton_ != nullptr) {
        monitorButton_->setChecked(on);
    }
}

void CMainWindows::HookControlEvents() {
    frequencyEntry_->OnFrequencyChanged.Subscribe(this, &CMainWindows::OnEntryFrequencyChanged);
    frequencyEntry_->OnFrequencySpinChanged.Subscribe(this,
                                                      &CMainWindows::OnEntryFrequencySpinChanged);
    frequencyEntry_->OnFrequency375Changed.Subscribe(this,
                                                     &CMainWindows::OnEntryFrequency375Changed);
    knob_->FrequencyKnobChangeStep.Subscribe(this, &CMainWindows::OnKnobStep);
    connect(channelButton_, &QPushButton::toggled, this, [this](bool on) { SetChannelMode(on); });
    connect(attenButton_, &QPushButton::toggled, this, [this](bool on) { SetAttenuator(on); });
    connect(rfAmpButton_, &QPushButton::toggled, this, [this](bool on) { SetRFAmplifier(on); });
    connect(monitorButton_, &QPushButton::toggled, this, [this](bool on) { SetMonitor(on); });
    connect(recordButton_, &QPushButton::toggled, this, [this](bool on) { SetRecording(on); });
    connect(remoteButton_, &QPushButton::toggled, this, [this](bool on) { SetRemoteControl(on); });
    connect(volumeSlider_, &QSlider::valueChanged, this, [this](int v) { SetVolume(v); });
}

void CMainWindows::OnEntryFrequencyChanged(void*, int32_t frequency) {
    FrequencySet(GetSelectedReceiver(), frequency);
}

void CMainWindows::OnEntryFrequencySpinChanged(void*, int32_t frequency) {
    const bool channelMode = IsChannelMode();
    settings_->Current().stepChannel = 0;
    FrequencySet(GetSelectedReceiver(), frequency);
    settings_->Current().stepChannel = channelMode ? 1 : 0;
}

void CMainWindows::OnEntryFrequency375Changed(void*, int32_t frequency) {
    const bool channelMode = IsChannelMode();
    FrequencySet(GetSelectedReceiver(), frequency);
    SetChannelMode(true, true);
    SetChannelMode(channelMode, true);
}

void CMainWindows::OnKnobStep(void*, int32_t step) {
    FrequencySet(GetSelectedReceiver(), GetCurrentFrequency() + step);
}

void CMainWindows::keyPressEvent(QKeyEvent* event) {
    // Keys a focused control uses itself (typing in a field, Space on a switch) never get here;
    // the rest travel up to the window and its keyboard table.
    if (HandleKey(*event)) {
        event->accept();
    } else {
        QWidget::keyPressEvent(event);
    }
}

bool CMainWindows::HandleKey(const QKeyEvent& event) {
    using Action = CnxMainWindowKeys::Action;
    const auto command = CnxMainWindowKeys::Translate(event.key(), event.modifiers(), event.text());
    switch (command.action) {
        case Action::SelectReceiverBy:
            SelectReceiver(GetSelectedReceiver() + command.value);
            break;
        case Action::OpenEntry:
            if (frequencyEntry_ != nullptr && frequencyEntry_->isEnabled()) {
                frequencyEntry_->OpenEditWith(QChar(command.character));
            }
            break;
        case Action::VolumeBy:
            SetVolume(settings_->Current().volume + command.value);
            break;
        case Action::ToggleScan:
            ToggleScan();
            break;
        case Action::KnobStep:
            // Not held back while the knob is greyed by a scan: FrequencySet decides what a scan
            // allows.
            if (knob_ != nullptr) {
                knob_->Turn(command.value > 0 ? 1 : 0, 0, false);
            }
            break;
        case Action::FrequencyBy:
            FrequencySet(GetSelectedReceiver(), GetCurrentFrequency() + command.value);
            break;
        case Action::Help:
            OpenHelp();
            break;
        case Action::None:
            return false;
    }
    return true;
}

void CMainWindows::wheelEvent(QWheelEvent* event) {
    if (knob_ != nullptr) {
        knob_->Wheel(*event);
    }
    event->accept();
}
