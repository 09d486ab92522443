#include "receiver/CnxK740RX_ReceiverManager.h"

#include <algorithm>

#include "core/TmyApplication.h"
#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/InxProgressDisplay.h"
#include "receiver/K740RXRadioInfoText.h"
#include "receiver/K740RXReceiverLog.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {
constexpr int kCloseRetries = 20;
constexpr unsigned kCloseRetryMs = 5;
constexpr unsigned kRealReceiverPauseMs = 100;
constexpr unsigned kDemoReceiverPauseMs = 10;
constexpr int kFirstPosition = 34;
constexpr int kPositionPerReceiver = 8;
}  // namespace

CnxK740RX_ReceiverManager::CnxK740RX_ReceiverManager(int maximum, CnxK740RXFileIniApp* settings,
                                                     HWND targetWindow,
                                                     CnxK740RXCalibratorSMeter* calibrator,
                                                     InxProgressDisplay* progress,
                                                     std::string driverLibrary)
    : slotCount_(std::clamp(maximum, 1, kSlotCount)),
      progress_(progress),
      targetWindow_(targetWindow),
      calibrator_(calibrator),
      settings_(settings),
      driverLibrary_(std::move(driverLibrary)),
      statusText_("Receivers Initializing") {}

CnxK740RX_ReceiverManager::~CnxK740RX_ReceiverManager() {
    CloseAll();
}

int CnxK740RX_ReceiverManager::ClampedCount(int count) {
    return count < 1 || count > kSlotCount ? kSlotCount : count;
}

void CnxK740RX_ReceiverManager::Accept() {
    FoundList found;
    const int radioCount = FindRadios(found);
    const bool anyRadio = radioCount > 0;
    demoMode_ = !anyRadio;
    LoadSlotsFromSettings();
    KeepKnownRadios(found, radioCount);
    PlaceNewRadios(found, radioCount);
    if (anyRadio) {
        PackSlots();
    }
    receiverCount_ = ClampedCount(radioCount);
    CreateReceivers(anyRadio);
    accepted_ = true;
}

int CnxK740RX_ReceiverManager::FindRadios(FoundList& found) {
    CnxK740RXReceiver probe(driverLibrary_.c_str(), settings_, 0, nullptr);
    const int listed = probe.Enumerate();
    // The found list has a place per slot; radios listed beyond that are left out.
    const int radioCount = std::min(listed, slotCount_);
    for (int i = 0; i < radioCount; ++i) {
        if (const RadioInfo* info = probe.GetRadioInfo(i)) {
            found[i].listIndex = i;
            found[i].demo = false;
            found[i].serialNumber = RadioSerial(*info);
            found[i].productName = RadioProductName(*info);
        }
    }
    if (listed > radioCount) {
        qCDebug(lcReceiver) << listed - radioCount << "radios beyond the" << slotCount_
                            << "receiver slots are ignored";
    }
    return radioCount;
}

void CnxK740RX_ReceiverManager::LoadSlotsFromSettings() {
    for (int k = 0; k < slotCount_; ++k) {
        SnxK740RXSlot& slot = slots_[k];
        slot = SnxK740RXSlot{};
        slot.slotNumber = k;
        if (settings_ != nullptr) {
            slot.serialNumber = settings_->Receiver(k).serialNumber;
            slot.productName = settings_->Receiver(k).productName;
        }
    }
}

void CnxK740RX_ReceiverManager::AssignRadio(FoundRadio& radio, int slot) {
    SnxK740RXSlot& target = slots_[slot];
    target.listIndex = radio.listIndex;
    target.demo = false;
    target.connected = true;
    target.serialNumber = radio.serialNumber;
    target.productName = radio.productName;
    radio.assignedSlot = slot;
}

void CnxK740RX_ReceiverManager::KeepKnownRadios(FoundList& found, int radioCount) {
    for (int k = 0; k < slotCount_; ++k) {
        for (int j = 0; j < radioCount; ++j) {
            if (found[j].assignedSlot == -1 && found[j].serialNumber == slots_[k].serialNumber) {
                AssignRadio(found[j], k);
                break;
            }
        }
    }
}

void CnxK740RX_ReceiverManager::PlaceNewRadios(FoundList& found, int radioCount) {
    for (int j = 0; j < radioCount; ++j) {
        if (found[j].assignedSlot != -1) {
            continue;
        }
        for (int k = 0; k < slotCount_; ++k) {
            if (slots_[k].listIndex == -1) {
                AssignRadio(found[j], k);
                break;
            }
        }
    }
}

void CnxK740RX_ReceiverManager::PackSlots() {
    const int last = slotCount_ - 1;
    int p = 0;
    for (int turn = 0; turn < slotCount_; ++turn) {
        if (slots_[p].listIndex != -1) {
            ++p;
            continue;
        }
        for (int k = p; k < last; ++k) {
            slots_[k] = slots_[k + 1];
            slots_[k].slotNumber = k;
        }
        slots_[last] = SnxK740RXSlot{};
        slots_[last].slotNumber = last;
    }
}

// Each radio takes its own remembered values into the slot it now has.
void CnxK740RX_ReceiverManager::AssignSettings() {
    if (settings_ == nullptr) {
        return;
    }
    std::array<CnxK740RXFileIniApp::SnxSlotRadio, CnxK740RXFileIniApp::kReceiverCount> radios;
    for (int k = 0; k < kSlotCount; ++k) {
        // Slots beyond the managed ones stay as the settings have them.
        if (k < slotCount_) {
            radios[k] = {slots_[k].serialNumber, slots_[k].productName};
        } else {
            radios[k] = {settings_->Receiver(k).serialNumber, settings_->Receiver(k).productName};
        }
    }
    settings_->AssignSlots(radios);
}

void CnxK740RX_ReceiverManager::CreateReceivers(bool anyRadio) {
    AssignSettings();
    int created = 0;
    for (int k = 0; k < slotCount_; ++k) {
        const SnxK740RXSlot& slot = slots_[k];
        if (slot.demo && anyRadio) {
            continue;
        }
        StartReceiver(k, created);
        if (created == 0) {
            receiverCount_ =
                ClampedCount(receivers_[0]->GetRadioCount(CnxK740RXReceiver::kKindAll));
        }
        ++created;
    }
}

void CnxK740RX_ReceiverManager::StartReceiver(int slot, int created) {
    const SnxK740RXSlot& info = slots_[slot];
    // A demo slot opens the prefilled demo entry of its own number.
    const int listIndex = info.demo ? slot : info.listIndex;
    receivers_[created] = std::make_unique<CnxK740RXReceiver>(driverLibrary_.c_str(), settings_,
                                                              targetWindow_, calibrator_);
    CnxK740RXReceiver& receiver = *receivers_[created];
    ShowStatus();

    if (receiver.OpenByIndex(listIndex) == nullptr) {
        qCDebug(lcReceiver) << "Receiver" << created << "could not open radio" << listIndex;
    }
    receiver.SetRadioIndex(created);
    receiver.Start();

    if (settings_ != nullptr) {
        // Power and loop are the radio's own, like everything Start applied.
        const SnxK740RXReceiverSettings& stored = settings_->Receiver(created);
        receiver.SetPower(stored.power, false);
        receiver.SetFrequencyLimits(settings_->GetMinFrequency(), settings_->GetMaxFrequency());
        receiver.SetScanStep(settings_->GetChannelStep(), true);
        receiver.SetScanLower(settings_->GetMinFrequency(), true);
        receiver.SetScanUpper(settings_->GetMaxFrequency(), true);
        receiver.SetScanLoop(stored.loop != 0);
    }

    if (!info.demo) {
        statusText_ += "\nReceiver# " + std::to_string(listIndex + 1) +
                       "\nSerial Number: " + info.serialNumber;
        ShowStatus();
    }
    ShowPosition(kFirstPosition + kPositionPerReceiver * created);
    TmySleep(info.demo ? kDemoReceiverPauseMs : kRealReceiverPauseMs);
}

void CnxK740RX_ReceiverManager::ShowStatus() {
    if (progress_ != nullptr) {
        progress_->SetText(statusText_, 0);
    }
}

void CnxK740RX_ReceiverManager::ShowPosition(int percent) {
    if (progress_ != nullptr) {
        progress_->SetPosition(percent);
    }
}

void CnxK740RX_ReceiverManager::CloseAll() {
    accepted_ = false;
    for (int i = kSlotCount - 1; i >= 0; --i) {
        std::unique_ptr<CnxK740RXReceiver>& receiver = receivers_[i];
        if (!receiver) {
            continue;
        }
        if (receiver->IsScanning()) {
            receiver->StopScan();
        }
        receiver->Stop();
        bool open = receiver->Close();
        for (int retry = 0; open && retry < kCloseRetries; ++retry) {
            TmySleep(kCloseRetryMs);
            open = receiver->Close();
        }
        if (open) {
            qCDebug(lcReceiver) << "Receiver" << i << "did not close; deleted anyway";
        }
        receiver.reset();
        receiverCount_ = std::max(receiverCount_ - 1, 0);
    }
}

// A stand-in scans as a demo receiver, so its radio is watched here whether it scans or not.
void CnxK740RX_ReceiverManager::WatchStandIn(int index) {
    CnxK740RXReceiver* receiver = receivers_[index].get();
    SnxK740RXSlot& slot = slots_[index];
    const bool back = receiver != nullptr && receiver->IsRadioBack();
    if (back != slot.radioBack) {
        slot.radioBack = back;
        PostMessage(targetWindow_, WM_RCV_RADIO_BACK, reinterpret_cast<WPARAM>(receiver),
                    back ? 1 : 0);
    }
}

CnxK740RXReceiver* CnxK740RX_ReceiverManager::SetSelected(int index) {
    if (settings_ != nullptr) {
        settings_->SelectReceiver(index);
    }
    for (int i = 0; i < kSlotCount; ++i) {
        if (receivers_[i] && i != index) {
            receivers_[i]->SetAudioEnabled(false);
        }
    }
    CnxK740RXReceiver* selected = GetReceiver(index);
    if (selected != nullptr) {
        selected->SetAudioEnabled(true);
    }
    return selected;
}

int CnxK740RX_ReceiverManager::GetSelectedIndex() const {
    return settings_ != nullptr ? settings_->GetSelectedReceiver() : -1;
}

CnxK740RXReceiver* CnxK740RX_ReceiverManager::GetReceiver(int index) const {
    return index >= 0 && index < kSlotCount ? receivers_[index].get() : nullptr;
}

bool CnxK740RX_ReceiverManager::IsDemo(int index) const {
    const CnxK740RXReceiver* receiver = GetReceiver(index);
    return receiver == nullptr || receiver->IsDemo();
}

int CnxK740RX_ReceiverManager::IsDevicesConected() {
    for (int i = 0; i < std::min(receiverCount_, kSlotCount); ++i) {
        CnxK740RXReceiver* receiver = receivers_[i].get();
        WatchStandIn(i);
        if (receiver == nullptr || receiver->IsScanning()) {
            continue;
        }
        const bool connected = receiver->IsConnected();
        if (connected != slots_[i].connected) {
            slots_[i].connected = connected;
            PostMessage(targetWindow_, WM_RCV_CONNECTION, reinterpret_cast<WPARAM>(receiver),
                        connected ? 1 : 0);
        }
    }
    return 1;
}
