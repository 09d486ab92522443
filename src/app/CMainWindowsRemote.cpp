// Remote control: a rigctld server per receiver slot, for the programs operators already use.
// The servers read the receivers through this window and change them with its own messages, so
// what they change shows in the window at once and the settings keep it.
#include <QMessageBox>
#include <QPushButton>
#include <cmath>
#include <limits>

#include "app/CMainWindows.h"
#include "app/K740RXAppLog.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "remote/CnxRemoteControl.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxK740RXFileIniApp.h"

void CMainWindows::StartRemoteControl() {
    remote_ = std::make_unique<CnxRemoteControl>(static_cast<InxRemoteTarget&>(*this));
    const int base = CnxRemoteControl::ChooseBasePort(g_optRigctl.present, g_optRigctl.value,
                                                      settings_->GetRemoteControlPort());
    if (base != 0) {
        remote_->Start(base, receiverCount_, CnxRemoteControl::ChooseAddress(g_optRigctlAddress));
        ReportRemoteControlFailures();
    }
    ShowRemoteControl();
}

void CMainWindows::SetRemoteControl(bool on) {
    if (!remote_ || on == remote_->IsRunning()) {
        ShowRemoteControl();
        return;
    }
    if (on) {
        const int saved = settings_->GetRemoteControlPort();
        const int base = saved != 0 ? saved
                                    : (g_optRigctl.present && g_optRigctl.value > 0
                                           ? g_optRigctl.value
                                           : CnxRemoteControl::kDefaultBasePort);
        const bool listening =
            remote_->Start(base, receiverCount_,
                           CnxRemoteControl::ChooseAddress(g_optRigctlAddress)) > 0;
        ReportRemoteControlFailures();
        if (listening) {
            settings_->SetRemoteControlPort(base);
        } else {
            remote_->Stop();  // nothing could listen there: the switch goes back off
        }
    } else {
        remote_->Stop();
        settings_->SetRemoteControlPort(0);
    }
    ShowRemoteControl();
}

// Once per attempt to switch it on: which ports could not be opened and why.
void CMainWindows::ReportRemoteControlFailures() {
    const QString text = remote_->DescribeFailures();
    if (text.isEmpty()) {
        return;
    }
    qCWarning(lcApp) << text;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral(" Remote control"), text,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void CMainWindows::ShowRemoteControl() {
    if (remoteButton_ == nullptr) {
        return;
    }
    const bool running = remote_ && remote_->IsRunning();
    const QSignalBlocker block(remoteButton_);
    remoteButton_->setChecked(running);
    remoteButton_->setToolTip(
        running
            ? QStringLiteral("Remote control (rigctl -m 2) on port %1, receiver n on %1 + 2(n-1)")
                  .arg(remote_->GetBasePort())
            : QStringLiteral("Remote control: let other programs drive the receivers "
                             "(Hamlib rigctl, model 2)"));
}

HWND CMainWindows::GetMessageWindow() {
    return GetHandle();
}

int CMainWindows::GetSelectedSlot() {
    return GetSelectedReceiver();
}

bool CMainWindows::HasReceiver(int slot) {
    return slot >= 0 && slot < receiverCount_ && manager_ && manager_->GetReceiver(slot) != nullptr;
}

bool CMainWindows::IsRadioConnected(int slot) {
    // Asked of the driver, not of the window's record: that learns of a loss only later.
    return HasReceiver(slot) && manager_->GetReceiver(slot)->IsConnected();
}

SnxRemoteFrequencyRange CMainWindows::GetFrequencyRange(int slot) {
    const CnxK740RXReceiver* receiver = manager_->GetReceiver(slot);
    return {CnxChannelPlan::kLowerLimit, static_cast<int32_t>(receiver->GetTopFrequency())};
}

int32_t CMainWindows::GetFrequency(int slot) {
    return slot == GetSelectedReceiver() ? GetCurrentFrequency() : slots_[slot].frequency;
}

double CMainWindows::GetLevelDbm(int slot) {
    CnxK740RXReceiver* receiver = manager_->GetReceiver(slot);
    if (!receiver->IsConnected()) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return receiver->GetLevelDbm() + settings_->Receiver(slot).sMeterCal / 10.0;
}

int CMainWindows::GetRawLevel(int slot) {
    CnxK740RXReceiver* receiver = manager_->GetReceiver(slot);
    return receiver->GetRawSignalStrength(receiver->GetHandle());
}

bool CMainWindows::GetSlotAttenuator(int slot) {
    return settings_->Receiver(slot).atten != 0;
}

bool CMainWindows::GetRFAmplifier(int slot) {
    return settings_->Receiver(slot).preamp != 0;
}

int32_t CMainWindows::GetPassband(int slot) {
    return manager_->GetReceiver(slot)->GetAudioBandwidth();
}

int32_t CMainWindows::GetScanStep() {
    return scanStep_;
}

void CMainWindows::SetSlotAttenuator(int slot, bool on) {
    settings_->Receiver(slot).atten = on ? 1 : 0;
    CnxK740RXReceiver* receiver = manager_->GetReceiver(slot);
    if (receiver != nullptr && !scanRun_.IsScanning(slot)) {
        receiver->SetAttenuator(on);
    }
}
