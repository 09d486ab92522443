#include "settings/CnxK740RXFileIniApp.h"

#include <QLoggingCategory>
#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(lcSettings, "k740.settings")

constexpr const char* kMainSection = "MAIN";

struct PlacementKey {
    const char* name;
    int32_t SnxWindowPlacement::*field;
};

// In the order of the fields of the platform's window-placement record.
constexpr PlacementKey kPlacementKeys[] = {
    {"WP_Length", &SnxWindowPlacement::length},
    {"WP_Flags", &SnxWindowPlacement::flags},
    {"WP_ShowCmd", &SnxWindowPlacement::showCmd},
    {"WP_MinPosition_X", &SnxWindowPlacement::minX},
    {"WP_MinPosition_Y", &SnxWindowPlacement::minY},
    {"WP_MaxPosition_X", &SnxWindowPlacement::maxX},
    {"WP_MaxPosition_Y", &SnxWindowPlacement::maxY},
    {"WP_NormalPosition_Left", &SnxWindowPlacement::left},
    {"WP_NormalPosition_Top", &SnxWindowPlacement::top},
    {"WP_NormalPosition_Right", &SnxWindowPlacement::right},
    {"WP_NormalPosition_Bottom", &SnxWindowPlacement::bottom},
};

struct ReceiverKey {
    const char* name;
    CnxAtomic<int32_t> SnxK740RXReceiverSettings::*field;
};

// The numbers of a receiver section in the order they are written, after the two names.
constexpr ReceiverKey kReceiverKeys[] = {
    {"Power", &SnxK740RXReceiverSettings::power},
    {"Atten", &SnxK740RXReceiverSettings::atten},
    {"Preamp", &SnxK740RXReceiverSettings::preamp},
    {"Frequency", &SnxK740RXReceiverSettings::frequency},
    {"LedStatus", &SnxK740RXReceiverSettings::ledStatus},
    {"Mute", &SnxK740RXReceiverSettings::mute},
    {"Volume", &SnxK740RXReceiverSettings::volume},
    {"VolumeMin", &SnxK740RXReceiverSettings::volumeMin},
    {"VolumeMax", &SnxK740RXReceiverSettings::volumeMax},
    {"Loop", &SnxK740RXReceiverSettings::loop},
    {"StepChannel", &SnxK740RXReceiverSettings::stepChannel},
    {"ShowHideLabels", &SnxK740RXReceiverSettings::showHideLabels},
    {"SMeterCal", &SnxK740RXReceiverSettings::sMeterCal},
};

std::string ReceiverSection(int index) {
    return "RECEIVER " + std::to_string(index);
}

std::string_view Capped(const std::string& text) {
    return std::string_view(text).substr(0, CnxFileIni::kMaxValueLength);
}

}  // namespace

CnxK740RXFileIniApp::CnxK740RXFileIniApp() : CnxFileIni("K740RX") {
    SetFolder(GetSpecialFolder(QStandardPaths::DocumentsLocation) + "/Quorvant/K740RX");
    dataDir_ = GetFolder() + "/Data";
    bandFilePath_ = dataDir_ + "/Channels.csv";
    if (!Load()) {
        qCWarning(lcSettings) << "Settings file" << GetFilePath().c_str()
                              << "unusable, running on defaults:" << GetLastError().c_str();
    }
}

CnxK740RXFileIniApp::CnxK740RXFileIniApp(std::string& file) : CnxFileIni("K740RX") {
    UseMemoryFile(file);
    Load();
}

CnxK740RXFileIniApp::~CnxK740RXFileIniApp() {
    if (!Save()) {
        qCWarning(lcSettings) << "Settings not saved:" << GetLastError().c_str();
    }
}

bool CnxK740RXFileIniApp::Load() {
    if (!Exists()) {
        if (!Create()) {
            return false;
        }
        WriteSections(true);
        AppendLineFeed();
        SelectReceiver(0);
        return Flush();
    }
    ReadMain();
    selected_ = 0;
    for (int index = 0; index < kReceiverCount; ++index) {
        ReadReceiver(index);
    }
    SelectReceiver(0);
    return true;
}

bool CnxK740RXFileIniApp::Save() {
    const bool creating = !Exists();
    if (creating && !Create()) {
        return false;
    }
    WriteSections(creating || noHardware_ == 0);
    return Flush();
}

void CnxK740RXFileIniApp::SelectReceiver(int index) {
    if (index != selected_) {
        receivers_[selected_] = current_;
    }
    selected_ = index >= 0 && index < kReceiverCount ? index : 0;
    current_ = receivers_[selected_];
}

SnxK740RXReceiverSettings& CnxK740RXFileIniApp::Receiver(int index) {
    return receivers_[std::clamp(index, 0, kReceiverCount - 1)];
}

void CnxK740RXFileIniApp::ReadMain() {
    for (const PlacementKey& key : kPlacementKeys) {
        placement_.*key.field = ReadInt(kMainSection, key.name, placement_.*key.field);
    }
    mainSMeterCal_ = ReadInt(kMainSection, "SMeterCal", mainSMeterCal_);
}

void CnxK740RXFileIniApp::ReadReceiver(int index) {
    const std::string section = ReceiverSection(index);
    SnxK740RXReceiverSettings& receiver = receivers_[index];
    receiver.productName = ReadString(section, "ProductName");
    receiver.serialNumber = ReadString(section, "SerialNumber");
    receiver.sMeterCal = mainSMeterCal_;
    for (const ReceiverKey& key : kReceiverKeys) {
        receiver.*key.field = ReadInt(section, key.name, receiver.*key.field);
    }
}

void CnxK740RXFileIniApp::WriteSections(bool withReceivers) {
    for (const PlacementKey& key : kPlacementKeys) {
        WriteInt(kMainSection, key.name, placement_.*key.field);
    }
    WriteInt(kMainSection, "RcvSelected", selected_);
    AppendLineFeed();
    if (!withReceivers) {
        return;
    }
    receivers_[selected_] = current_;
    for (int index = 0; index < kReceiverCount; ++index) {
        WriteReceiver(index);
        AppendLineFeed();
    }
}

void CnxK740RXFileIniApp::WriteReceiver(int index) {
    const std::string section = ReceiverSection(index);
    const SnxK740RXReceiverSettings& receiver = receivers_[index];
    WriteString(section, "ProductName", Capped(receiver.productName));
    WriteString(section, "SerialNumber", Capped(receiver.serialNumber));
    for (const ReceiverKey& key : kReceiverKeys) {
        WriteInt(section, key.name, receiver.*key.field);
    }
}
