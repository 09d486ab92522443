// Receivers: selection, the receiver list, connection loss and return, demo switch, level poll.
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QPushButton>
#include <QSlider>
#include <QStackedWidget>
#include <QUrl>
#include <algorithm>
#include <limits>

#include "app/CMainWindows.h"
#include "app/CnxCtrlFrequency.h"
#include "app/CnxCtrlKnob.h"
#include "app/CnxK740RXDlgAbout.h"
#include "app/CnxK740RXDlgDisconnected.h"
#include "app/CnxK740RXDlgHelp.h"
#include "app/CnxK740RXDlgRadioBack.h"
#include "app/CnxK740RXDlgReceiverList.h"
#include "app/CnxTuningRules.h"
#include "audio/CSndAudioPath.h"
#include "core/TmyApplication.h"
#include "receiver/CnxK740RXCtrlReceiverManager.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "receiver/K740RXReceiverMessages.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "smeter/CnxCtrlSMeter.h"
#include "ui/TmyModal.h"

std::string CMainWindows::SerialOf(const CnxK740RXReceiver* receiver) const {
    if (receiver == nullptr) {
        return "DEMO";
    }
    const RadioInfo& info = receiver->GetCurrentRadioInfo();
    return std::string(info.serial, strnlen(info.serial, sizeof info.serial));
}

int CMainWindows::GetSelectedReceiver() const {
    return receiverList_ != nullptr && receiverList_->GetCount() > 0
               ? settings_->GetSelectedReceiver()
               : -1;
}

CnxK740RXReceiver* CMainWindows::CurrentReceiver() const {
    return manager_ ? manager_->GetSelected() : nullptr;
}

int CMainWindows::IndexOf(const CnxK740RXReceiver* receiver) const {
    for (int i = 0; manager_ && receiver != nullptr && i < kMaxReceivers; ++i) {
        if (manager_->GetReceiver(i) == receiver) {
            return i;
        }
    }
    return -1;
}

void CMainWindows::FillReceiverList() {
    int row = 0;
    for (int i = 0; i < receiverCount_ && i < kMaxReceivers; ++i) {
        CnxK740RXReceiver* receiver = manager_->GetReceiver(i);
        if (receiver == nullptr) {
            continue;
        }
        ++row;
        const bool extended = receiver->GetTopFrequency() == CnxChannelPlan::kExtendedUpperLimit;
        const std::string label = "Receiver " + std::to_string(row) + (extended ? "*" : "");
        const int item = receiverList_->AddItem(label, i, receiver->IsDemo(), i == 0);
        receiverList_->SetItemFrequency(item, slots_[i].frequency);
        receiverList_->SetItemLamp(item, receiver->IsConnected());
    }
    receiverList_->OnSelectionChanged.Subscribe(this, &CMainWindows::OnListSelection);
}

void CMainWindows::OnListSelection(void*, const SnxK740RXInfoListItem* item) {
    if (item != nullptr && !selecting_) {
        SelectReceiver(item->index);
    }
}

void CMainWindows::SelectReceiver(int index, bool force) {
    if ((index == GetSelectedReceiver() && !force) || receiverList_ == nullptr || index < 0 ||
        index >= receiverList_->GetCount()) {
        return;
    }
    selecting_ = true;
    audioPath_->BeginSelection();
    const int previous = GetSelectedReceiver();
    CnxK740RXReceiver* current = manager_->SetSelected(index);
    PlayReceiverSource();
    receiverList_->Select(index);
    const SnxK740RXInfoListItem* row = receiverList_->GetItem(index);
    const bool connected = row != nullptr && !row->alarm;

    if (previous >= 0 && previous != index && slots_[previous].meter != nullptr) {
        slots_[previous].meter->setEnabled(false);
    }
    meterStack_->setCurrentWidget(slots_[index].meter);
    slots_[index].meter->setEnabled(connected);

    const bool extended =
        current != nullptr && current->GetTopFrequency() == CnxChannelPlan::kExtendedUpperLimit;
    upperLimit_ = extended ? CnxChannelPlan::kExtendedUpperLimit : CnxChannelPlan::kUpperLimit;
    frequencyEntry_->Model().SetLimits(CnxChannelPlan::kLowerLimit, upperLimit_);
    const QString caption = QStringLiteral("K740RX Sonobuoy Receiver# %1 - %2%3")
                                .arg(index + 1)
                                .arg(QString::fromStdString(SerialOf(current)))
                                .arg(extended ? QStringLiteral("/225") : QString());
    setWindowTitle(caption);

    const auto& s = settings_->Current();
    SetChannelMode(s.stepChannel != 0, true);
    SetVolume(s.volume, true);
    SetMonitor(s.mute != 0, true);
    SetAttenuator(s.atten != 0, true);
    SetSMeterCal(s.sMeterCal, true);
    SetRFAmplifier(s.preamp != 0, true);
    FrequencySet(index, s.frequency, true);
    SetSMeterCal(s.sMeterCal, true);

    ShowScanner(index);
    UpdateControlsEnabled();
    UpdateAudioState();
    audioPath_->EndSelection();
    selecting_ = false;
}

void CMainWindows::UpdateControlsEnabled() {
    const int selected = GetSelectedReceiver();
    if (selected < 0) {
        return;
    }
    const SnxK740RXInfoListItem* row = receiverList_->GetItem(selected);
    const bool connected = row != nullptr && !row->alarm;
    const bool usable = connected && settings_->Current().power != 0;
    const bool manual = usable && !scanRun_.IsScanning(selected);
    // A control greyed under the focus would pass it on to a neighbour that takes Space for
    // itself; the window keeps it instead, so Space still stops the scan.
    QWidget* focused = QApplication::focusWidget();
    slots_[selected].meter->setEnabled(connected);
    frequencyEntry_->enable(manual);
    knob_->setEnabled(manual);
    channelButton_->setEnabled(manual);
    attenButton_->setEnabled(manual);
    monitorButton_->setEnabled(usable);
    volumeSlider_->setEnabled(usable);
    if (focused != nullptr && !focused->isEnabled() && isAncestorOf(focused)) {
        setFocus();
    }
    scanStack_->setEnabled(usable);
}

const CnxK740RXDlgDisconnected* CMainWindows::DisconnectionWindow(int index) const {
    return slots_.at(index).disconnected.get();
}

// The first place on the screen that no open disconnection window takes.
int CMainWindows::FreeDisconnectionPlace() const {
    for (int place = 0;; ++place) {
        const bool taken = std::any_of(slots_.begin(), slots_.end(), [&](const auto& slot) {
            return slot.disconnected && slot.disconnected->Place() == place;
        });
        if (!taken) {
            return place;
        }
    }
}

void CMainWindows::OnConnection(CnxK740RXReceiver* receiver, bool connected) {
    const int index = IndexOf(receiver);
    if (index < 0) {
        return;
    }
    SnxReceiverSlot& slot = slots_[index];
    if (!connected) {
        if (!slot.disconnected) {
            TmySleep(300);
            if (!receiver->IsConnected()) {
                receiver->Stop();
                const bool canSwitch = receiverList_->GetCount() >= 2;
                slot.disconnected = std::make_unique<CnxK740RXDlgDisconnected>(
                    this, index + 1, canSwitch, GetHandle(), reinterpret_cast<WPARAM>(receiver),
                    FreeDisconnectionPlace());
                slot.disconnected->show();
                if (index == GetSelectedReceiver()) {
                    level_ = std::numeric_limits<double>::quiet_NaN();
                    ShowLevel();
                }
            }
        }
        receiverList_->SetItemAlarm(index, true);
        receiverList_->SetItemLamp(index, false);
    } else {
        slot.disconnected.reset();
        if (receiver->IsConnected()) {
            // A demo receiver standing in for the radio stays as it is until taken back.
            if (!receiver->IsStandingIn()) {
                receiver->Start();
            }
            receiverList_->SetItemAlarm(index, false);
            receiverList_->SetItemLamp(index, true);
        }
    }
    if (index == GetSelectedReceiver()) {
        UpdateControlsEnabled();
    }
}

void CMainWindows::OnSwitchToDemo(CnxK740RXReceiver* receiver) {
    const int index = IndexOf(receiver);
    if (index < 0) {
        return;
    }
    slots_[index].disconnected.reset();
    receiver->StandInForLostRadio();
    receiverList_->SetItemDemo(index, true);
    if (receiverList_->GetCount() == 0) {
        PostMessage(GetHandle(), WM_CLOSE, 0, 0);
        return;
    }
    receiverList_->SetItemAlarm(index, false);
    receiverList_->SetItemLamp(index, true);
    SelectReceiver(index, true);
}

CnxK740RXDlgRadioBack* CMainWindows::RadioBackWindow(int index) const {
    return slots_.at(index).radioBack.get();
}

void CMainWindows::OnRadioBack(CnxK740RXReceiver* receiver, bool back) {
    const int index = IndexOf(receiver);
    if (index < 0) {
        return;
    }
    SnxReceiverSlot& slot = slots_[index];
    if (!back) {
        slot.radioBack.reset();
        return;
    }
    if (!slot.radioBack) {
        slot.radioBack = std::make_unique<CnxK740RXDlgRadioBack>(
            this, index + 1, GetHandle(), reinterpret_cast<WPARAM>(receiver));
    }
    slot.radioBack->show();
    slot.radioBack->raise();
}

void CMainWindows::OnTakeBackRadio(CnxK740RXReceiver* receiver) {
    const int index = IndexOf(receiver);
    if (index < 0) {
        return;
    }
    slots_[index].radioBack.reset();
    if (scanRun_.IsScanning(index)) {
        StopScanning(index);
    }
    if (!receiver->TakeBackRadio()) {
        return;  // gone again meanwhile: it stays a demo receiver
    }
    receiverList_->SetItemDemo(index, false);
    receiverList_->SetItemAlarm(index, false);
    receiverList_->SetItemLamp(index, true);
    SelectReceiver(index, true);
}

void CMainWindows::OpenHelp() {
    const QString page =
        QCoreApplication::applicationDirPath() + QStringLiteral("/help/index.html");
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
        return;
    }
    // No browser the desktop could hand the page to: the program shows the manual itself.
    if (!help_) {
        help_ = std::make_unique<CnxK740RXDlgHelp>(this, page);
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void CMainWindows::OpenReceiverListWindow() {
    CnxK740RXDlgReceiverList dialog(this, manager_.get(), receiverCount_);
    TmyModal::Exec(dialog, app_);
}

void CMainWindows::OpenAboutWindow() {
    if (!about_) {
        about_ = std::make_unique<CnxK740RXDlgAbout>(this, GetHandle());
    }
    about_->show();
    about_->raise();
}

void CMainWindows::CloseAboutWindow() {
    about_.reset();
}
