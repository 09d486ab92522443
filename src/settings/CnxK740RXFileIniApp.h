#pragma once
// Every persistent setting of the program: the main window's placement and, for each of the eight
// receiver slots, the receiver's identity, switches, frequency, volume and S-meter offset. The file
// <Documents>/Quorvant/K740RX/K740RX.ini is read at construction and written at destruction. The
// selected slot is the one place that says which receiver the window shows; its values are the
// "current" ones.
// A settings file that cannot be created or written leaves the program on its defaults.
#include <array>
#include <cstdint>
#include <string>

#include "settings/CnxFileIni.h"
#include "settings/SnxK740RXReceiverSettings.h"
#include "settings/SnxWindowPlacement.h"

class CnxK740RXFileIniApp : public CnxFileIni {
public:
    static constexpr int kReceiverCount = 8;

    CnxK740RXFileIniApp();
    ~CnxK740RXFileIniApp() override;

    // Writes MAIN and, unless the no-hardware flag is set, every receiver section. A file that
    // does not exist yet is created and always gets all sections.
    bool Save();

    // An index outside 0-7 selects 0.
    void SelectReceiver(int index);
    int GetSelectedReceiver() const { return selected_; }
    // The values of the selected slot.
    SnxK740RXReceiverSettings& Current() { return receivers_[selected_]; }
    // The values of a slot (index clamped to 0-7).
    SnxK740RXReceiverSettings& Receiver(int index);
    SnxWindowPlacement& Placement() { return placement_; }

    // The first port of the remote control's servers, 0 when it is off.
    int32_t GetRemoteControlPort() const { return remoteControlPort_; }
    void SetRemoteControlPort(int32_t port) { remoteControlPort_ = port; }

    // Set when no receiver hardware was found: the receiver sections are then left as they are.
    void SetNoHardware(int flag) { noHardware_ = flag; }
    int GetNoHardware() const { return noHardware_; }

    int32_t GetMinFrequency() const { return 136000000; }
    int32_t GetMaxFrequency() const { return 173500000; }
    int32_t GetExtendedMaxFrequency() const { return 225000000; }
    int32_t GetChannelStep() const { return 375000; }

    const std::string& GetSettingsDir() const { return GetFolder(); }
    const std::string& GetDataDir() const { return dataDir_; }
    const std::string& GetBandFilePath() const { return bandFilePath_; }

private:
    bool Load();
    void ReadMain();
    void ReadReceiver(int index);
    void WriteSections(bool withReceivers);
    void WriteReceiver(int index);

    std::array<SnxK740RXReceiverSettings, kReceiverCount> receivers_;
    SnxWindowPlacement placement_;
    int32_t mainSMeterCal_ = 0;  // what a receiver section without its own SMeterCal gets
    int32_t remoteControlPort_ = 0;
    int selected_ = 0;
    int noHardware_ = 1;
    std::string dataDir_;
    std::string bandFilePath_;
};
