#pragma once
// Every persistent setting of the program: the main window's placement and, for each of the eight
// receiver slots, the receiver's identity, switches, frequency, volume and S-meter offset. The file
// <Documents>/Quorvant/K740RX/K740RX.ini is read at construction and written at destruction. The
// window works on a "current" copy of the selected slot's values, swapped on each selection.
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
    // Settings read from this text as if it were the file, and saved back into it instead of the
    // file; the text must outlive the object.
    explicit CnxK740RXFileIniApp(std::string& file);
    ~CnxK740RXFileIniApp() override;

    // Writes MAIN and, unless the no-hardware flag is set, every receiver section. A file that
    // does not exist yet is created and always gets all sections.
    bool Save();

    // Stores the current set into the previously selected slot when the index changes, then loads
    // the current set from the new slot (so selecting the same slot again drops unsaved changes).
    // An index outside 0-7 selects 0.
    void SelectReceiver(int index);
    int GetSelectedReceiver() const { return selected_; }
    SnxK740RXReceiverSettings& Current() { return current_; }
    // The stored set of a slot (index clamped to 0-7); the selected slot's is refreshed from the
    // current set only on selection changes and on Save.
    SnxK740RXReceiverSettings& Receiver(int index);
    SnxWindowPlacement& Placement() { return placement_; }

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

    SnxK740RXReceiverSettings current_;
    std::array<SnxK740RXReceiverSettings, kReceiverCount> receivers_;
    SnxWindowPlacement placement_;
    int32_t mainSMeterCal_ = 0;    // what a receiver section without its own SMeterCal gets
    CnxAtomic<int> selected_ = 0;  // processing threads read it while the window thread selects
    int noHardware_ = 1;
    std::string dataDir_;
    std::string bandFilePath_;
};
