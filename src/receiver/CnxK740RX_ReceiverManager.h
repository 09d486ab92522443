#pragma once
// Owner of the receivers. Accept asks the driver library which radios are attached, keeps known
// radios in the slots the settings remember them in, gives new radios the free slots, packs the
// used slots to the front, writes the assignment back to the settings, and opens and starts one
// receiver per used slot; with no radio at all it starts eight demo receivers. It also selects a
// receiver (the settings keep which one; only that one forwards audio) and watches the connection
// of the receivers that are not scanning. All on the window thread.
#include <array>
#include <memory>
#include <string>

#include "core/TmyTypes.h"
#include "settings/K740RXSlots.h"

class CnxK740RXReceiver;
class CnxK740RXFileIniApp;
class CnxK740RXCalibratorSMeter;
class InxProgressDisplay;

class CnxK740RX_ReceiverManager {
public:
    static constexpr int kSlotCount = kK740RXSlotCount;
    static constexpr const char* kDriverLibrary = "QVK740RXAPI.dll";

    struct SnxK740RXSlot {
        int listIndex = -1;  // in the driver's radio list; -1: no radio
        int slotNumber = 0;
        bool demo = true;
        std::string serialNumber = "DEMO";
        std::string productName = "DEMO";
        bool connected = true;   // as last reported
        bool radioBack = false;  // a stand-in's radio, as last reported
    };

    // Manages up to `maximum` slots (at most kSlotCount). Settings, target window, calibrator and
    // progress display are borrowed; the last two may be null.
    CnxK740RX_ReceiverManager(int maximum, CnxK740RXFileIniApp* settings, HWND targetWindow,
                              CnxK740RXCalibratorSMeter* calibrator, InxProgressDisplay* progress,
                              std::string driverLibrary = kDriverLibrary);
    virtual ~CnxK740RX_ReceiverManager();
    CnxK740RX_ReceiverManager(const CnxK740RX_ReceiverManager&) = delete;
    CnxK740RX_ReceiverManager& operator=(const CnxK740RX_ReceiverManager&) = delete;

    void Accept();
    void CloseAll();
    // Selects the slot in the settings and lets only its receiver forward audio; returns that
    // receiver, null when the slot holds none.
    CnxK740RXReceiver* SetSelected(int index);
    CnxK740RXReceiver* GetSelected() const { return GetReceiver(GetSelectedIndex()); }
    // -1 without settings.
    int GetSelectedIndex() const;
    CnxK740RXReceiver* GetReceiver(int index) const;
    bool IsDemoMode() const { return demoMode_; }
    // True when the entry holds no receiver or a demo receiver.
    bool IsDemo(int index) const;
    HWND GetTargetWindow() const { return targetWindow_; }
    // Posts WM_RCV_CONNECTION for every idle receiver whose connection changed, and
    // WM_RCV_RADIO_BACK for every receiver standing in for a lost radio whose radio came or went
    // again; always 1.
    int IsDevicesConected();

    bool IsAccepted() const { return accepted_; }
    int GetReceiverCount() const { return receiverCount_; }
    // index 0..kSlotCount-1
    const SnxK740RXSlot& GetSlot(int index) const { return slots_[index]; }

private:
    struct FoundRadio {
        int listIndex = -1;
        int assignedSlot = -1;
        bool demo = true;
        std::string serialNumber = "DEMO";
        std::string productName = "DEMO";
    };
    using FoundList = std::array<FoundRadio, kSlotCount>;

    int FindRadios(FoundList& found);
    void LoadSlotsFromSettings();
    void AssignRadio(FoundRadio& radio, int slot);
    void KeepKnownRadios(FoundList& found, int radioCount);
    void PlaceNewRadios(FoundList& found, int radioCount);
    void PackSlots();
    void AssignSettings();
    void CreateReceivers(bool anyRadio);
    void StartReceiver(int slot, int created);
    void WatchStandIn(int index);
    void ShowStatus();
    void ShowPosition(int percent);
    static int ClampedCount(int count);

    int slotCount_;  // the maximum given at construction, at most kSlotCount
    bool accepted_ = false;
    int receiverCount_ = kSlotCount;
    InxProgressDisplay* progress_;
    std::array<std::unique_ptr<CnxK740RXReceiver>, kSlotCount> receivers_;
    std::array<SnxK740RXSlot, kSlotCount> slots_;
    bool demoMode_ = true;
    HWND targetWindow_;
    CnxK740RXCalibratorSMeter* calibrator_;
    CnxK740RXFileIniApp* settings_;
    std::string driverLibrary_;
    std::string statusText_;
};
