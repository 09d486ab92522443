#pragma once
// The receiver slots and their radios: the receiver list, which slot is selected (the settings
// keep it), whether each slot's radio is connected (held here and nowhere else), what happens
// when a radio goes and comes back (the windows that say so, a demo receiver in its place, taking
// the radio back), the window's caption, and the markers each radio keeps between runs.
#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <string>

#include "app/InxSlotPresence.h"
#include "core/TmyEvents.h"
#include "core/TmyTypes.h"
#include "settings/K740RXSlots.h"

class CnxK740RXCtrlReceiverManager;
class CnxK740RXCtrlScannerGraph;
class CnxK740RXDlgDisconnected;
class CnxK740RXDlgRadioBack;
class CnxK740RXFileIniApp;
class CnxK740RXReceiver;
class CnxK740RX_ReceiverManager;
class CnxMarkerStore;
class InxOperatorNotices;
class QWidget;
struct SnxK740RXInfoListItem;

class CnxSlotsController : public InxSlotPresence {
public:
    using Graphs = std::array<CnxK740RXCtrlScannerGraph*, kK740RXSlotCount>;

    // All borrowed. The windows it opens belong to `window`; their answers are posted to
    // `messageWindow`.
    CnxSlotsController(CnxK740RXFileIniApp& settings, CnxK740RX_ReceiverManager& receivers,
                       CnxK740RXCtrlReceiverManager& list, const Graphs& graphs,
                       InxOperatorNotices& notices, QWidget& window, HWND messageWindow);
    ~CnxSlotsController();

    // One row per receiver, and each radio's markers on its graph.
    void FillList();
    int GetRowCount() const;
    int SlotOf(const CnxK740RXReceiver* receiver) const;
    bool IsConnected(int slot) const override;
    bool IsPresent(int slot) const override;
    QString GetSlotName(int slot) const override;

    // Whether a selection of the slot is to be carried out, and carrying out its part: the
    // manager, the list and the caption.
    bool CanSelect(int slot, bool force) const;
    void Select(int slot);
    void SetSelecting(bool selecting) { selecting_ = selecting; }

    // The receivers' news.
    void OnConnection(CnxK740RXReceiver* receiver, bool connected);
    void OnRadioBack(CnxK740RXReceiver* receiver, bool back);
    // The operator's answers; the slot that changed, or -1.
    int SwitchToDemo(CnxK740RXReceiver* receiver);
    int TakeBackRadio(CnxK740RXReceiver* receiver);

    void OpenReceiverListWindow();
    // The windows about a slot's radio; null when none is open.
    CnxK740RXDlgDisconnected* DisconnectionWindow(int slot) const;
    CnxK740RXDlgRadioBack* RadioBackWindow(int slot) const;

    // The operator chose a row of the list.
    TmyEventList<int> OnSelectionAsked;
    // A slot's radio was lost, or is connected again.
    TmyEventList<int> OnConnectionChanged;

private:
    struct Slot {
        bool connected = true;
        std::unique_ptr<CnxK740RXDlgDisconnected> disconnected;
        std::unique_ptr<CnxK740RXDlgRadioBack> radioBack;
    };

    std::string SerialOf(int slot) const;
    QString MarkerKey(int slot) const;
    void SaveMarkers(int slot);
    void ConfirmLost(int slot);
    void ShowConnected(int slot, bool connected);
    int FreeDisconnectionPlace() const;

    CnxK740RXFileIniApp& settings_;
    CnxK740RX_ReceiverManager& receivers_;
    CnxK740RXCtrlReceiverManager& list_;
    Graphs graphs_;
    InxOperatorNotices& notices_;
    QWidget& window_;
    HWND messageWindow_;
    std::unique_ptr<CnxMarkerStore> markers_;
    std::array<Slot, kK740RXSlotCount> slots_;
    std::array<bool, kK740RXSlotCount> toldMarkersNotSaved_{};
    bool selecting_ = false;
    QObject timers_;  // the context of pending checks, which go with the controller
    TmySubscriptions subscriptions_;
};
