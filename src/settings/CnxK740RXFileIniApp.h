#pragma once
// Every persistent setting of the program: the main window's placement and, for each of the eight
// receiver slots, the receiver's identity, switches, frequency, volume, S-meter offset and what its
// scan covers. The file
// <Documents>/Quorvant/K740RX/K740RX.ini is read at construction and written at destruction. The
// selected slot is the one place that says which receiver the window shows; its values are the
// "current" ones.
// A radio's values belong to the radio, not to the slot it happens to sit in: when the slots are
// given to the radios found at start, each radio's values go with it, and those of a radio that is
// not there are kept under its serial number ("RADIO <serial>" sections) until it comes back.
// A settings file that cannot be created or written leaves the program on its defaults.
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "settings/CnxChannelPlan.h"
#include "settings/CnxFileIni.h"
#include "settings/K740RXSlots.h"
#include "settings/SnxK740RXReceiverSettings.h"
#include "settings/SnxWindowLayout.h"
#include "settings/SnxWindowPlacement.h"

class CnxK740RXFileIniApp : public CnxFileIni {
public:
    static constexpr int kReceiverCount = kK740RXSlotCount;

    CnxK740RXFileIniApp();
    // Settings read from this text as if it were the file, and saved back into it instead of the
    // file; the text must outlive the object.
    explicit CnxK740RXFileIniApp(std::string& file);
    ~CnxK740RXFileIniApp() override;

    // The folder of the settings file, which also holds the program's single-instance lock.
    static std::string SettingsFolder();

    // Writes MAIN and, unless the no-hardware flag is set, every receiver section. A file that
    // does not exist yet is created and always gets all sections.
    bool Save();

    // What one slot is given: a radio by serial number and product name, or "DEMO" for none.
    struct SnxSlotRadio {
        std::string serialNumber = "DEMO";
        std::string productName = "DEMO";
    };
    // Puts each radio into its slot with its own values: those of the slot that remembered it, else
    // those kept for it while it was away, else the defaults. A remembered radio left without a
    // slot keeps its values under its serial number. A demo slot keeps what it had when that was a
    // demo slot too, else it starts from the defaults.
    void AssignSlots(const std::array<SnxSlotRadio, kReceiverCount>& radios);
    // The values kept for a radio that has no slot; null when none are kept.
    const SnxK740RXReceiverSettings* AbsentRadio(const std::string& serialNumber) const;

    // An index outside 0-7 selects 0.
    void SelectReceiver(int index);
    int GetSelectedReceiver() const { return selected_; }
    // The values of the selected slot.
    SnxK740RXReceiverSettings& Current() { return receivers_[selected_]; }
    // The values of a slot (index clamped to 0-7).
    SnxK740RXReceiverSettings& Receiver(int index);
    SnxWindowPlacement& Placement() { return placement_; }
    SnxWindowLayout& Layout() { return layout_; }

    // The first port of the remote control's servers, 0 when it is off.
    int32_t GetRemoteControlPort() const { return remoteControlPort_; }
    void SetRemoteControlPort(int32_t port) { remoteControlPort_ = port; }

    // Set when no receiver hardware was found: the receiver sections are then left as they are.
    void SetNoHardware(int flag) { noHardware_ = flag; }
    int GetNoHardware() const { return noHardware_; }

    int32_t GetMinFrequency() const { return CnxChannelPlan::kLowerLimit; }
    int32_t GetMaxFrequency() const { return CnxChannelPlan::kUpperLimit; }
    int32_t GetChannelStep() const { return CnxChannelPlan::kSpacing; }

    const std::string& GetSettingsDir() const { return GetFolder(); }
    const std::string& GetDataDir() const { return dataDir_; }
    const std::string& GetBandFilePath() const { return bandFilePath_; }

private:
    bool Load();
    void ReadMain();
    void ReadAbsentRadios();
    void ReadValues(const std::string& section, SnxK740RXReceiverSettings& values);
    void ReadScanPlan(const std::string& section, SnxScanPlan& plan);
    void WriteSections(bool withReceivers);
    void WriteValues(const std::string& section, const SnxK740RXReceiverSettings& values);
    void WriteAbsentRadios();
    SnxK740RXReceiverSettings Defaults() const;

    std::array<SnxK740RXReceiverSettings, kReceiverCount> receivers_;
    std::map<std::string, SnxK740RXReceiverSettings> absentRadios_;  // by serial number
    std::set<std::string> returnedRadios_;  // kept for while away, back in a slot now
    SnxWindowPlacement placement_;
    SnxWindowLayout layout_;
    int32_t mainSMeterCal_ = 0;  // what a receiver section without its own SMeterCal gets
    int32_t remoteControlPort_ = 0;
    int selected_ = 0;
    int noHardware_ = 1;
    std::string dataDir_;
    std::string bandFilePath_;
};
