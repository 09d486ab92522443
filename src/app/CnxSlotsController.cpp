#include "app/CnxSlotsController.h"

#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "app/CnxK740RXDlgDisconnected.h"
#include "app/CnxK740RXDlgRadioBack.h"
#include "app/CnxK740RXDlgReceiverList.h"
#include "app/InxOperatorNotices.h"
#include "core/TmyApplication.h"
#include "receiver/CnxK740RXCtrlReceiverManager.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/CnxMarkerStore.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "ui/TmyModal.h"

namespace {
// A radio reported lost is looked at again after this long before it is given up: a loose plug
// that comes back at once opens no window.
constexpr int kLossConfirmationMs = 300;
}  // namespace

CnxSlotsController::CnxSlotsController(CnxK740RXFileIniApp& settings,
                                       CnxK740RX_ReceiverManager& receivers,
                                       CnxK740RXCtrlReceiverManager& list, const Graphs& graphs,
                                       InxOperatorNotices& notices, QWidget& window,
                                       HWND messageWindow)
    : settings_(settings),
      receivers_(receivers),
      list_(list),
      graphs_(graphs),
      notices_(notices),
      window_(window),
      messageWindow_(messageWindow),
      markers_(
          std::make_unique<CnxMarkerStore>(QString::fromStdString(settings.GetSettingsDir()))) {
    for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
        subscriptions_.push_back(graphs_[size_t(slot)]->OnMarkersChanged.Subscribe(
            [this, slot](void*, int) { SaveMarkers(slot); }));
    }
    subscriptions_.push_back(
        list_.OnSelectionChanged.Subscribe([this](void*, const SnxK740RXInfoListItem* item) {
            if (item != nullptr && !selecting_) {
                OnSelectionAsked.Raise(this, item->index);
            }
        }));
}

CnxSlotsController::~CnxSlotsController() = default;

std::string CnxSlotsController::SerialOf(int slot) const {
    const CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    if (receiver == nullptr) {
        return "DEMO";
    }
    const RadioInfo& info = receiver->GetCurrentRadioInfo();
    return std::string(info.serial, strnlen(info.serial, sizeof info.serial));
}

int CnxSlotsController::SlotOf(const CnxK740RXReceiver* receiver) const {
    for (int slot = 0; receiver != nullptr && slot < kK740RXSlotCount; ++slot) {
        if (receivers_.GetReceiver(slot) == receiver) {
            return slot;
        }
    }
    return -1;
}

bool CnxSlotsController::IsConnected(int slot) const {
    return slot >= 0 && slot < kK740RXSlotCount && slots_[size_t(slot)].connected;
}

bool CnxSlotsController::IsPresent(int slot) const {
    return slot >= 0 && slot < list_.GetCount();
}

QString CnxSlotsController::GetSlotName(int slot) const {
    const SnxK740RXInfoListItem* item = list_.GetItem(slot);
    return item != nullptr ? QString::fromStdString(item->label) : QString();
}

int CnxSlotsController::GetRowCount() const {
    return list_.GetCount();
}

void CnxSlotsController::FillList() {
    int row = 0;
    for (int slot = 0; slot < receivers_.GetReceiverCount() && slot < kK740RXSlotCount; ++slot) {
        CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
        if (receiver == nullptr) {
            continue;
        }
        ++row;
        const std::string label =
            "Receiver " + std::to_string(row) + (receiver->IsExtendedRange() ? "*" : "");
        const int item = list_.AddItem(label, slot, receiver->IsDemo(), slot == 0);
        list_.SetItemFrequency(item, settings_.Receiver(slot).frequency);
        ShowConnected(slot, receiver->IsConnected());
        if (const QString key = MarkerKey(slot); !key.isEmpty()) {
            graphs_[size_t(slot)]->SetMarkers(markers_->Load(key));
        }
    }
}

QString CnxSlotsController::MarkerKey(int slot) const {
    // Markers belong to the radio, so a receiver standing in for a lost one keeps the lost radio's.
    // Every demo receiver is "DEMO": those go by their slot.
    const CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    if (receiver == nullptr) {
        return {};
    }
    if (receiver->IsStandingIn()) {
        return QString::fromStdString(receiver->GetLostSerial());
    }
    const std::string serial = SerialOf(slot);
    return QString::fromStdString(receiver->IsDemo() ? serial + " " + std::to_string(slot + 1)
                                                     : serial);
}

void CnxSlotsController::SaveMarkers(int slot) {
    const QString key = MarkerKey(slot);
    if (key.isEmpty()) {
        return;
    }
    bool& told = toldMarkersNotSaved_[size_t(slot)];
    if (markers_->Save(key, graphs_[size_t(slot)]->GetMarkers())) {
        told = false;
        return;
    }
    if (!told) {
        told = true;
        notices_.Tell(QStringLiteral(" Markers not saved"),
                      QStringLiteral("The markers of receiver %1 cannot be written to\n%2.\n\n"
                                     "They stay on the graph, but are lost when the program ends.")
                          .arg(slot + 1)
                          .arg(markers_->GetPath()));
    }
}

bool CnxSlotsController::CanSelect(int slot, bool force) const {
    return (slot != settings_.GetSelectedReceiver() || force) && slot >= 0 &&
           slot < list_.GetCount();
}

void CnxSlotsController::Select(int slot) {
    receivers_.SetSelected(slot);
    list_.Select(slot);
    const CnxK740RXReceiver* current = receivers_.GetReceiver(slot);
    const bool extended = current != nullptr && current->IsExtendedRange();
    window_.setWindowTitle(QStringLiteral("K740RX Sonobuoy Receiver# %1 - %2%3")
                               .arg(slot + 1)
                               .arg(QString::fromStdString(SerialOf(slot)))
                               .arg(extended ? QStringLiteral("/225") : QString()));
}

void CnxSlotsController::ShowConnected(int slot, bool connected) {
    slots_[size_t(slot)].connected = connected;
    list_.SetItemAlarm(slot, !connected);
    list_.SetItemLamp(slot, connected);
}

void CnxSlotsController::OnConnection(CnxK740RXReceiver* receiver, bool connected) {
    const int slot = SlotOf(receiver);
    if (slot < 0) {
        return;
    }
    Slot& s = slots_[size_t(slot)];
    if (!connected) {
        ShowConnected(slot, false);
        if (!s.disconnected) {
            // Looked at again in a moment, without holding the window thread meanwhile.
            QTimer::singleShot(kLossConfirmationMs, &timers_, [this, slot] { ConfirmLost(slot); });
        }
    } else {
        s.disconnected.reset();
        if (!receiver->IsConnected()) {
            return;
        }
        // A demo receiver standing in for the radio stays as it is until taken back.
        if (!receiver->IsStandingIn()) {
            receiver->Start();
        }
        ShowConnected(slot, true);
    }
    OnConnectionChanged.Raise(this, slot);
}

void CnxSlotsController::ConfirmLost(int slot) {
    CnxK740RXReceiver* receiver = receivers_.GetReceiver(slot);
    Slot& s = slots_[size_t(slot)];
    if (receiver == nullptr || s.connected || s.disconnected || receiver->IsConnected()) {
        return;
    }
    receiver->Stop();
    s.disconnected = std::make_unique<CnxK740RXDlgDisconnected>(
        &window_, slot + 1, list_.GetCount() >= 2, messageWindow_,
        reinterpret_cast<WPARAM>(receiver), FreeDisconnectionPlace());
    s.disconnected->show();
}

int CnxSlotsController::FreeDisconnectionPlace() const {
    for (int place = 0;; ++place) {
        const bool taken = std::any_of(slots_.begin(), slots_.end(), [&](const Slot& s) {
            return s.disconnected && s.disconnected->Place() == place;
        });
        if (!taken) {
            return place;
        }
    }
}

int CnxSlotsController::SwitchToDemo(CnxK740RXReceiver* receiver) {
    const int slot = SlotOf(receiver);
    if (slot < 0) {
        return -1;
    }
    slots_[size_t(slot)].disconnected.reset();
    receiver->StandInForLostRadio();
    list_.SetItemDemo(slot, true);
    ShowConnected(slot, true);
    OnConnectionChanged.Raise(this, slot);
    return slot;
}

void CnxSlotsController::OnRadioBack(CnxK740RXReceiver* receiver, bool back) {
    const int slot = SlotOf(receiver);
    if (slot < 0) {
        return;
    }
    Slot& s = slots_[size_t(slot)];
    if (!back) {
        s.radioBack.reset();
        return;
    }
    if (!s.radioBack) {
        s.radioBack = std::make_unique<CnxK740RXDlgRadioBack>(&window_, slot + 1, messageWindow_,
                                                              reinterpret_cast<WPARAM>(receiver));
    }
    s.radioBack->show();
    s.radioBack->raise();
}

int CnxSlotsController::TakeBackRadio(CnxK740RXReceiver* receiver) {
    const int slot = SlotOf(receiver);
    if (slot < 0) {
        return -1;
    }
    slots_[size_t(slot)].radioBack.reset();
    if (!receiver->TakeBackRadio()) {
        return -1;  // gone again meanwhile: it stays a demo receiver
    }
    list_.SetItemDemo(slot, false);
    ShowConnected(slot, true);
    OnConnectionChanged.Raise(this, slot);
    return slot;
}

void CnxSlotsController::OpenReceiverListWindow() {
    CnxK740RXDlgReceiverList dialog(&window_, &receivers_, receivers_.GetReceiverCount());
    TmyModal::Exec(dialog, TmyApplication::Process());
}

CnxK740RXDlgDisconnected* CnxSlotsController::DisconnectionWindow(int slot) const {
    return slots_.at(size_t(slot)).disconnected.get();
}

CnxK740RXDlgRadioBack* CnxSlotsController::RadioBackWindow(int slot) const {
    return slots_.at(size_t(slot)).radioBack.get();
}
