#include "app/CnxRemoteAdapter.h"

#include "app/CnxListeningController.h"
#include "app/CnxScanController.h"
#include "app/CnxTuningController.h"
#include "app/InxOperatorNotices.h"
#include "mixer/CmqKnobBoxMapping.h"
#include "mixer/CmqVqbMixerCom.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "remote/CnxRemoteControl.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "tuning/CnxCtrlTuningPanel.h"

CnxRemoteAdapter::CnxRemoteAdapter(CnxK740RXFileIniApp& settings,
                                   CnxK740RX_ReceiverManager& receivers,
                                   const Controllers& controllers, CnxCtrlTuningPanel& panel,
                                   InxOperatorNotices& notices, HWND messageWindow)
    : settings_(settings),
      receivers_(receivers),
      controllers_(controllers),
      panel_(panel),
      notices_(notices),
      messageWindow_(messageWindow) {}

CnxRemoteAdapter::~CnxRemoteAdapter() {
    remote_.reset();   // its servers ask the receivers
    knobBox_.reset();  // before the unit it listens to
    mixer_.reset();
}

// ---- the knob box ----

void CnxRemoteAdapter::StartKnobBox() {
    mixer_ = std::make_unique<CmqVqbMixerCom>();
    knobBox_ =
        std::make_unique<CmqKnobBoxMapping>(*mixer_, static_cast<InmqKnobBoxActions&>(*this));
    if (!knobBox_->Start()) {
        // No unit: the program goes on exactly as without one.
        knobBox_.reset();
        mixer_.reset();
    }
}

void CnxRemoteAdapter::ShowChannelSteps(bool channelSteps) {
    if (knobBox_) {
        knobBox_->OnChannelModeChanged(channelSteps);
    }
}

bool CnxRemoteAdapter::IsReceiverPresent() const {
    return receivers_.GetReceiver(settings_.GetSelectedReceiver()) != nullptr;
}

void CnxRemoteAdapter::TuneBy(int32_t deltaHz) {
    controllers_.tuning.TuneBy(deltaHz);
}

void CnxRemoteAdapter::ChangeVolume(int steps) {
    controllers_.listening.ChangeVolume(steps);
}

void CnxRemoteAdapter::MoveGraphView(int steps) {
    controllers_.scans.ScrollBy(settings_.GetSelectedReceiver(), steps);
}

void CnxRemoteAdapter::SelectChannelSteps(bool channelSteps) {
    controllers_.tuning.SetChannelMode(channelSteps);
}

// ---- the remote control ----

void CnxRemoteAdapter::StartRemoteControl() {
    remote_ = std::make_unique<CnxRemoteControl>(static_cast<InxRemoteTarget&>(*this));
    const int base = CnxRemoteControl::ChooseBasePort(g_optRigctl.present, g_optRigctl.value,
                                                      settings_.GetRemoteControlPort());
    if (base != 0) {
        remote_->Start(base, receivers_.GetReceiverCount(),
                       CnxRemoteControl::ChooseAddress(g_optRigctlAddress));
        ReportRemoteControlFailures();
    }
    ShowRemoteControl();
}

void CnxRemoteAdapter::SetRemoteControl(bool on) {
    if (!remote_ || on == remote_->IsRunning()) {
        ShowRemoteControl();
        return;
    }
    if (on) {
        const int saved = settings_.GetRemoteControlPort();
        const int base = saved != 0 ? saved
                                    : (g_optRigctl.present && g_optRigctl.value > 0
                                           ? g_optRigctl.value
                                           : CnxRemoteControl::kDefaultBasePort);
        const bool listening =
            remote_->Start(base, receivers_.GetReceiverCount(),
                           CnxRemoteControl::ChooseAddress(g_optRigctlAddress)) > 0;
        ReportRemoteControlFailures();  // before a Stop, which forgets the failures
        if (listening) {
            settings_.SetRemoteControlPort(base);
        } else {
            remote_->Stop();  // nothing could listen there: the switch goes back off
        }
    } else {
        remote_->Stop();
        settings_.SetRemoteControlPort(0);
    }
    ShowRemoteControl();
}

void CnxRemoteAdapter::ReportRemoteControlFailures() {
    if (const QString text = remote_->DescribeFailures(); !text.isEmpty()) {
        notices_.Tell(QStringLiteral(" Remote control"), text);
    }
}

void CnxRemoteAdapter::ShowRemoteControl() {
    const bool running = remote_ && remote_->IsRunning();
    panel_.ShowRemote(
        running, running ? QStringLiteral(
                               "Remote control (rigctl -m 2) on port %1, receiver n on %1 + 2(n-1)")
                               .arg(remote_->GetBasePort())
                         : QStringLiteral("Remote control: let other programs drive the receivers "
                                          "(Hamlib rigctl, model 2)"));
}

int CnxRemoteAdapter::GetSelectedSlot() {
    return settings_.GetSelectedReceiver();
}

bool CnxRemoteAdapter::HasReceiver(int slot) {
    return slot >= 0 && slot < receivers_.GetReceiverCount() &&
           receivers_.GetReceiver(slot) != nullptr;
}

bool CnxRemoteAdapter::IsRadioConnected(int slot) {
    // Asked of the driver, not of the slots' record: that learns of a loss only later.
    return HasReceiver(slot) && receivers_.GetReceiver(slot)->IsConnected();
}

SnxRemoteFrequencyRange CnxRemoteAdapter::GetFrequencyRange(int slot) {
    return {CnxChannelPlan::kLowerLimit, controllers_.tuning.GetUpperLimit(slot)};
}

int32_t CnxRemoteAdapter::GetFrequency(int slot) {
    return controllers_.tuning.GetFrequency(slot);
}

double CnxRemoteAdapter::GetLevelDbm(int slot) {
    return controllers_.listening.GetLevelDbm(slot);
}

int CnxRemoteAdapter::GetRawLevel(int slot) {
    return receivers_.GetReceiver(slot)->GetRawLevel();
}

bool CnxRemoteAdapter::GetSlotAttenuator(int slot) {
    return settings_.Receiver(slot).atten != 0;
}

bool CnxRemoteAdapter::GetRFAmplifier(int slot) {
    return settings_.Receiver(slot).preamp != 0;
}

int32_t CnxRemoteAdapter::GetPassband(int slot) {
    return receivers_.GetReceiver(slot)->GetPassband();
}

int32_t CnxRemoteAdapter::GetScanStep(int slot) {
    return controllers_.scans.GetScanStep(slot);
}

void CnxRemoteAdapter::SetSlotAttenuator(int slot, bool on) {
    controllers_.tuning.SetSlotAttenuator(slot, on);
}
