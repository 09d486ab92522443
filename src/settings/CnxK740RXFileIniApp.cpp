#include "settings/CnxK740RXFileIniApp.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cctype>

namespace {

Q_LOGGING_CATEGORY(lcSettings, "k740.settings")

constexpr const char* kMainSection = "MAIN";
constexpr std::string_view kSettingsBelowDocuments = "/Quorvant/K740RX";

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

// A hand-edited or damaged file must not give the program absurd values (a level correction of
// 200 million dB, a volume that multiplies the samples by a billion): each number read is kept
// within what the program can use.
struct Range {
    int32_t minimum;
    int32_t maximum;
    int32_t Clamp(int32_t value) const { return std::clamp(value, minimum, maximum); }
};

constexpr Range kSwitch{0, 1};
constexpr Range kVolumeStep{0, 31};
// Tenths of a dB; the calibration window sets at most 50 dB either way.
constexpr Range kSMeterCal{-500, 500};
constexpr Range kPort{0, 65535};
// Pixels of a pane: more than any screen has is a damaged file.
constexpr Range kPaneHeight{0, 32767};

struct LayoutKey {
    const char* name;
    int32_t SnxWindowLayout::*field;
    Range range;
};

// Written after the other MAIN keys, in this order.
constexpr LayoutKey kLayoutKeys[] = {
    {"SplitGraph", &SnxWindowLayout::graph, kPaneHeight},
    {"SplitHistory", &SnxWindowLayout::history, kPaneHeight},
    {"SplitScans", &SnxWindowLayout::scans, kPaneHeight},
    {"SplitSpectrum", &SnxWindowLayout::spectrum, kPaneHeight},
    {"Overview", &SnxWindowLayout::overview, kSwitch},
};

struct ReceiverKey {
    const char* name;
    CnxAtomic<int32_t> SnxK740RXReceiverSettings::*field;
    Range range;
};

// The numbers of a receiver section in the order they are written, after the two names.
constexpr ReceiverKey kReceiverKeys[] = {
    {"Power", &SnxK740RXReceiverSettings::power, kSwitch},
    {"Atten", &SnxK740RXReceiverSettings::atten, kSwitch},
    {"Preamp", &SnxK740RXReceiverSettings::preamp, kSwitch},
    {"Frequency",
     &SnxK740RXReceiverSettings::frequency,
     {CnxChannelPlan::kLowerLimit, CnxChannelPlan::kExtendedUpperLimit}},
    {"LedStatus", &SnxK740RXReceiverSettings::ledStatus, {0, 255}},
    {"Mute", &SnxK740RXReceiverSettings::mute, kSwitch},
    {"Volume", &SnxK740RXReceiverSettings::volume, kVolumeStep},
    {"VolumeMin", &SnxK740RXReceiverSettings::volumeMin, kVolumeStep},
    {"VolumeMax", &SnxK740RXReceiverSettings::volumeMax, kVolumeStep},
    {"Loop", &SnxK740RXReceiverSettings::loop, kSwitch},
    {"StepChannel", &SnxK740RXReceiverSettings::stepChannel, kSwitch},
    {"ShowHideLabels", &SnxK740RXReceiverSettings::showHideLabels, {0, 8}},
    {"SMeterCal", &SnxK740RXReceiverSettings::sMeterCal, kSMeterCal},
    {"ActivityThreshold",
     &SnxK740RXReceiverSettings::activityThreshold,
     {SnxK740RXReceiverSettings::kLowestActivityThreshold,
      SnxK740RXReceiverSettings::kHighestActivityThreshold}},
    {"RecordHits", &SnxK740RXReceiverSettings::recordHits, kSwitch},
};

// The scan plan's keys, after the numbers of the table above.
constexpr const char* kScanLowerKey = "ScanLower";
constexpr const char* kScanUpperKey = "ScanUpper";
constexpr const char* kScanStepKey = "ScanStep";
constexpr const char* kLockoutKey = "Lockout";
// Every channel in the list ("1,2,...,99") is longer than the other strings may be.
constexpr size_t kLockoutTextLength = 400;
constexpr const char* kPriorityKey = "Priority";
constexpr const char* kPriorityEveryKey = "PriorityEvery";

std::string ReceiverSection(int index) {
    return "RECEIVER " + std::to_string(index);
}

constexpr std::string_view kAbsentRadioPrefix = "RADIO ";

std::string AbsentRadioSection(const std::string& serialNumber) {
    return std::string(kAbsentRadioPrefix) + serialNumber;
}

bool IsAbsentRadioSection(const std::string& section) {
    return section.size() > kAbsentRadioPrefix.size() &&
           std::equal(
               kAbsentRadioPrefix.begin(), kAbsentRadioPrefix.end(), section.begin(),
               [](unsigned char a, unsigned char b) { return std::toupper(a) == std::toupper(b); });
}

bool IsRadio(const std::string& serialNumber) {
    return !serialNumber.empty() && serialNumber != "DEMO";
}

std::string_view Capped(const std::string& text) {
    return std::string_view(text).substr(0, CnxFileIni::kMaxValueLength);
}

}  // namespace

std::string CnxK740RXFileIniApp::SettingsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString() +
           std::string(kSettingsBelowDocuments);
}

CnxK740RXFileIniApp::CnxK740RXFileIniApp() : CnxFileIni("K740RX") {
    SetFolder(GetSpecialFolder(QStandardPaths::DocumentsLocation) +
              std::string(kSettingsBelowDocuments));
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
        ReadValues(ReceiverSection(index), receivers_[index]);
    }
    ReadAbsentRadios();
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
    selected_ = index >= 0 && index < kReceiverCount ? index : 0;
}

SnxK740RXReceiverSettings& CnxK740RXFileIniApp::Receiver(int index) {
    return receivers_[std::clamp(index, 0, kReceiverCount - 1)];
}

void CnxK740RXFileIniApp::ReadMain() {
    for (const PlacementKey& key : kPlacementKeys) {
        placement_.*key.field = ReadInt(kMainSection, key.name, placement_.*key.field);
    }
    for (const LayoutKey& key : kLayoutKeys) {
        layout_.*key.field = key.range.Clamp(ReadInt(kMainSection, key.name, layout_.*key.field));
    }
    mainSMeterCal_ = kSMeterCal.Clamp(ReadInt(kMainSection, "SMeterCal", mainSMeterCal_));
    remoteControlPort_ =
        kPort.Clamp(ReadInt(kMainSection, "RemoteControlPort", remoteControlPort_));
}

void CnxK740RXFileIniApp::ReadValues(const std::string& section,
                                     SnxK740RXReceiverSettings& values) {
    values.productName = ReadString(section, "ProductName");
    values.serialNumber = ReadString(section, "SerialNumber");
    values.sMeterCal = mainSMeterCal_;
    for (const ReceiverKey& key : kReceiverKeys) {
        values.*key.field = key.range.Clamp(ReadInt(section, key.name, values.*key.field));
    }
    ReadScanPlan(section, values.scan);
}

// A damaged plan is put right rather than dropped: what can be walked of it is kept.
void CnxK740RXFileIniApp::ReadScanPlan(const std::string& section, SnxScanPlan& plan) {
    plan.lower = ReadInt(section, kScanLowerKey, plan.lower);
    plan.upper = ReadInt(section, kScanUpperKey, plan.upper);
    plan.step = ReadInt(section, kScanStepKey, plan.step);
    plan.lockout = SnxScanPlan::ParseChannels(ReadString(section, kLockoutKey, kLockoutTextLength));
    plan.priority = ReadInt(section, kPriorityKey, plan.priority);
    plan.priorityEvery = ReadInt(section, kPriorityEveryKey, plan.priorityEvery);
    plan = plan.Checked();
}

// The section name is only a label; the serial number inside it is the one that counts.
void CnxK740RXFileIniApp::ReadAbsentRadios() {
    for (const std::string& section : ReadSectionNames()) {
        if (!IsAbsentRadioSection(section)) {
            continue;
        }
        SnxK740RXReceiverSettings values = Defaults();
        ReadValues(section, values);
        if (IsRadio(values.serialNumber)) {
            absentRadios_.emplace(values.serialNumber, values);
        }
    }
}

SnxK740RXReceiverSettings CnxK740RXFileIniApp::Defaults() const {
    SnxK740RXReceiverSettings values;
    values.sMeterCal = mainSMeterCal_;
    return values;
}

void CnxK740RXFileIniApp::AssignSlots(const std::array<SnxSlotRadio, kReceiverCount>& radios) {
    const auto inSlots = [&](const std::string& serial) {
        return std::any_of(radios.begin(), radios.end(),
                           [&](const SnxSlotRadio& radio) { return radio.serialNumber == serial; });
    };
    const std::array<SnxK740RXReceiverSettings, kReceiverCount> previous = receivers_;
    for (const SnxK740RXReceiverSettings& values : previous) {
        if (IsRadio(values.serialNumber) && !inSlots(values.serialNumber)) {
            absentRadios_.insert_or_assign(values.serialNumber, values);
        }
    }
    for (int index = 0; index < kReceiverCount; ++index) {
        const SnxSlotRadio& radio = radios[index];
        SnxK740RXReceiverSettings values = Defaults();
        if (IsRadio(radio.serialNumber)) {
            const auto remembered = std::find_if(
                previous.begin(), previous.end(),
                [&](const auto& slot) { return slot.serialNumber == radio.serialNumber; });
            if (remembered != previous.end()) {
                values = *remembered;
            } else if (const auto kept = absentRadios_.find(radio.serialNumber);
                       kept != absentRadios_.end()) {
                values = kept->second;
            }
            if (absentRadios_.erase(radio.serialNumber) > 0) {
                returnedRadios_.insert(radio.serialNumber);
            }
        } else if (!IsRadio(previous[index].serialNumber)) {
            values = previous[index];
        }
        values.serialNumber = radio.serialNumber;
        values.productName = radio.productName;
        receivers_[index] = values;
    }
}

const SnxK740RXReceiverSettings* CnxK740RXFileIniApp::AbsentRadio(
    const std::string& serialNumber) const {
    const auto found = absentRadios_.find(serialNumber);
    return found != absentRadios_.end() ? &found->second : nullptr;
}

void CnxK740RXFileIniApp::WriteSections(bool withReceivers) {
    for (const PlacementKey& key : kPlacementKeys) {
        WriteInt(kMainSection, key.name, placement_.*key.field);
    }
    WriteInt(kMainSection, "RcvSelected", selected_);
    WriteInt(kMainSection, "RemoteControlPort", remoteControlPort_);
    for (const LayoutKey& key : kLayoutKeys) {
        WriteInt(kMainSection, key.name, layout_.*key.field);
    }
    AppendLineFeed();
    if (!withReceivers) {
        return;
    }
    for (int index = 0; index < kReceiverCount; ++index) {
        WriteValues(ReceiverSection(index), receivers_[index]);
        AppendLineFeed();
    }
    WriteAbsentRadios();
}

void CnxK740RXFileIniApp::WriteAbsentRadios() {
    for (const std::string& serialNumber : returnedRadios_) {
        DeleteSection(AbsentRadioSection(serialNumber));
    }
    for (const auto& [serialNumber, values] : absentRadios_) {
        WriteValues(AbsentRadioSection(serialNumber), values);
        AppendLineFeed();
    }
}

void CnxK740RXFileIniApp::WriteValues(const std::string& section,
                                      const SnxK740RXReceiverSettings& values) {
    WriteString(section, "ProductName", Capped(values.productName));
    WriteString(section, "SerialNumber", Capped(values.serialNumber));
    for (const ReceiverKey& key : kReceiverKeys) {
        WriteInt(section, key.name, values.*key.field);
    }
    const SnxScanPlan& plan = values.scan;
    WriteInt(section, kScanLowerKey, plan.lower);
    WriteInt(section, kScanUpperKey, plan.upper);
    WriteInt(section, kScanStepKey, plan.step);
    WriteString(section, kLockoutKey, plan.LockoutText());
    WriteInt(section, kPriorityKey, plan.priority);
    WriteInt(section, kPriorityEveryKey, plan.priorityEvery);
}
