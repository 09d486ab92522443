#include "remote/CnxRigctlCommandSet.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <initializer_list>

#include "core/K740RXExternalMessages.h"
#include "core/TmyComponent.h"
#include "remote/K740RXRigctlProtocol.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxScanStepper.h"

namespace {

constexpr const char* kModeName = "FM";
constexpr const char* kVfoName = "VFOA";

// A whole word that is a finite decimal number, with or without fraction or exponent.
bool ReadNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}

// Hertz and steps travel as 32-bit signed values: a fraction is rounded, the rest held in range.
int32_t ToHertz(double value) {
    return static_cast<int32_t>(std::lround(std::clamp(value, 0.0, double{INT32_MAX})));
}

bool IsOwnVfo(const std::string& name) {
    return name == kVfoName || name == "currVFO" || name == "VFO" || name == "Main";
}

// Whether a scan in steps of this size covers the band in one pass that the bar graph can hold.
bool FitsOnePass(int64_t step) {
    return CnxScanStepper::IsWalkable(CnxChannelPlan::kLowerLimit, CnxChannelPlan::kUpperLimit,
                                      step);
}

std::string Hex(uint64_t bits) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(bits));
    return text;
}

}  // namespace

CnxRigctlCommandSet::CnxRigctlCommandSet(InxRemoteTarget& target, int slot)
    : target_(target), slot_(slot) {}

SnxRigctlOutcome CnxRigctlCommandSet::Execute(const SnxRigctlCommand& command) {
    SnxRigctlOutcome outcome;
    switch (command.id) {
        case ERigctlCommand::kUnknown:
            return outcome;  // rigctld too leaves a word it does not know unanswered
        case ERigctlCommand::kMalformed:
            outcome.answer = CnxRigctlAnswer::Report(kRigProtocolError);
            return outcome;
        case ERigctlCommand::kQuit:
            outcome.answer = CnxRigctlAnswer::Report(kRigOk);
            outcome.quit = true;
            return outcome;
        case ERigctlCommand::kCheckVfo:
            // No result record in either style: clients ask this first and read one line.
            outcome.answer = command.IsExtended() ? "ChkVFO: 0\n" : "0\n";
            return outcome;
        default:
            break;
    }
    CnxRigctlAnswer answer(command);
    outcome.answer = answer.Finish(Run(command, answer, outcome.changed));
    return outcome;
}

int CnxRigctlCommandSet::Run(const SnxRigctlCommand& command, CnxRigctlAnswer& answer,
                             bool& changed) {
    const ERigctlCommand id = command.id;
    const bool needsReceiver = id == ERigctlCommand::kSetFreq || id == ERigctlCommand::kGetFreq ||
                               id == ERigctlCommand::kSetMode || id == ERigctlCommand::kGetMode ||
                               id == ERigctlCommand::kSetLevel || id == ERigctlCommand::kGetLevel;
    if (needsReceiver && !IsRadioPresent()) {
        return kRigIoError;  // as a rig that is switched off or gone answers
    }
    switch (id) {
        case ERigctlCommand::kGetFreq:
            answer.AddValue("Frequency", std::to_string(target_.GetFrequency(slot_)));
            return kRigOk;
        case ERigctlCommand::kSetFreq:
            return SetFrequency(command.args[0], changed);
        case ERigctlCommand::kGetMode:
            answer.AddValue("Mode", kModeName);
            answer.AddValue("Passband", std::to_string(target_.GetPassband(slot_)));
            return kRigOk;
        case ERigctlCommand::kSetMode:
            return SetMode(command, answer);
        case ERigctlCommand::kGetVfo:
            answer.AddValue("VFO", kVfoName);
            return kRigOk;
        case ERigctlCommand::kSetVfo:
            return IsOwnVfo(command.args[0]) ? kRigOk : kRigInvalidArgument;
        case ERigctlCommand::kGetLevel:
            return GetLevel(command.args[0], answer);
        case ERigctlCommand::kSetLevel:
            return SetLevel(command, answer, changed);
        case ERigctlCommand::kGetTuningStep:
            answer.AddValue("Tuning Step", std::to_string(target_.GetScanStep(slot_)));
            return kRigOk;
        case ERigctlCommand::kSetTuningStep:
            return SetTuningStep(command.args[0], changed);
        case ERigctlCommand::kGetSplitVfo:
            answer.AddValue("Split", "0");
            answer.AddValue("TX VFO", kVfoName);
            return kRigOk;
        case ERigctlCommand::kGetPowerStat:
            answer.AddValue("Power Status", IsRadioPresent() ? "1" : "0");
            return kRigOk;
        case ERigctlCommand::kDumpState:
            answer.AddBlock(DumpState());
            return kRigOk;
        case ERigctlCommand::kDumpCaps:
            answer.AddBlock(DumpCaps());
            return kRigOk;
        default:
            return kRigNotAvailable;  // a command of rigctld that a receiver does not offer
    }
}

bool CnxRigctlCommandSet::IsRadioPresent() {
    return target_.HasReceiver(slot_) && target_.IsRadioConnected(slot_);
}

int CnxRigctlCommandSet::SetFrequency(const std::string& text, bool& changed) {
    double hertz = 0.0;
    if (!ReadNumber(text, hertz)) {
        return kRigInvalidArgument;
    }
    // The rule of the window's frequency entry: below the band is refused, above it is the top.
    // The window then puts it on the channel raster and jumps the gap, as for a typed one.
    const SnxRemoteFrequencyRange range = target_.GetFrequencyRange(slot_);
    const int32_t frequency = ToHertz(hertz);
    if (frequency < range.lowest) {
        return kRigInvalidArgument;
    }
    return Post(WM_MAIN_FREQUENCY_SET, static_cast<WPARAM>(slot_),
                std::min(frequency, range.highest), changed);
}

int CnxRigctlCommandSet::SetMode(const SnxRigctlCommand& command, CnxRigctlAnswer& answer) {
    if (command.IsQuery()) {
        answer.AddValue("", std::string(kModeName) + " ");
        return kRigOk;
    }
    double passband = 0.0;
    if (command.args[0] != kModeName || !ReadNumber(command.args[1], passband)) {
        return kRigInvalidArgument;
    }
    // One mode with one filter: asking for it, for no change (-1) or for the default (0) is all
    // that can succeed.
    const bool own = passband == -1.0 || passband == 0.0 || passband == target_.GetPassband(slot_);
    return own ? kRigOk : kRigInvalidArgument;
}

int CnxRigctlCommandSet::GetLevel(const std::string& name, CnxRigctlAnswer& answer) {
    // Levels go out as bare numbers in both protocols, as rigctld's own answers have them.
    if (name == "?") {
        answer.AddValue("", "PREAMP ATT RAWSTR STRENGTH ");
    } else if (name == "STRENGTH") {
        const double level = target_.GetLevelDbm(slot_);
        if (!std::isfinite(level)) {
            return kRigIoError;
        }
        answer.AddValue("", std::to_string(std::lround(level - kS9Dbm)));
    } else if (name == "RAWSTR") {
        answer.AddValue("", std::to_string(target_.GetRawLevel(slot_)));
    } else if (name == "ATT") {
        answer.AddValue("", std::to_string(target_.GetSlotAttenuator(slot_) ? kAttenuatorDb : 0));
    } else if (name == "PREAMP") {
        answer.AddValue("", std::to_string(target_.GetRFAmplifier(slot_) ? kRFAmplifierDb : 0));
    } else {
        return kRigInvalidArgument;
    }
    return kRigOk;
}

int CnxRigctlCommandSet::SetLevel(const SnxRigctlCommand& command, CnxRigctlAnswer& answer,
                                  bool& changed) {
    if (command.IsQuery()) {
        answer.AddValue("", "PREAMP ATT ");
        return kRigOk;
    }
    const std::string& name = command.args[0];
    double decibels = 0.0;
    if ((name != "ATT" && name != "PREAMP") || !ReadNumber(command.args[1], decibels) ||
        decibels < 0.0) {
        return kRigInvalidArgument;
    }
    const bool on = decibels > 0.0;  // the one step there is, however many dB are asked for
    const bool selected = slot_ == target_.GetSelectedSlot();
    if (name == "ATT") {
        if (selected) {
            return Post(WM_MAIN_SET_ATTENUATOR, on ? 1 : 0, 0, changed);
        }
        target_.SetSlotAttenuator(slot_, on);
        changed = true;
        return kRigOk;
    }
    if (!on) {
        return kRigRejected;  // the RF amplifier is always on
    }
    return selected ? Post(WM_MAIN_SET_RF_AMPLIFIER, 1, 0, changed) : kRigOk;
}

int CnxRigctlCommandSet::SetTuningStep(const std::string& text, bool& changed) {
    double step = 0.0;
    if (!ReadNumber(text, step) || step < 1.0 || !FitsOnePass(ToHertz(step))) {
        return kRigInvalidArgument;
    }
    return Post(WM_MAIN_SET_SCAN_STEP, static_cast<WPARAM>(ToHertz(step)), slot_ + 1, changed);
}

int CnxRigctlCommandSet::Post(UINT message, WPARAM wParam, LPARAM lParam, bool& changed) {
    if (!PostMessage(target_.GetMessageWindow(), message, wParam, lParam)) {
        return kRigInternalError;
    }
    changed = true;
    return kRigOk;
}

// The rig description a network client reads when it opens the connection, in the layout of
// protocol version 0.
std::string CnxRigctlCommandSet::DumpState() {
    const SnxRemoteFrequencyRange range = target_.GetFrequencyRange(slot_);
    const std::string fm = Hex(kRigModeFm);
    const std::string endOfRanges = "0 0 0 0 0 0 0\n";
    std::string text;
    text.reserve(512);
    text += "0\n0\n0\n";  // protocol version, no model of the client's list, ITU region
    text += std::to_string(range.lowest) + ".000000 " + std::to_string(range.highest) + ".000000 " +
            fm + " -1 -1 " + Hex(kRigVfoA) + " 0x0\n" + endOfRanges;
    text += endOfRanges;       // nothing to transmit
    text += fm + " 1\n0 0\n";  // tuned in steps of 1 Hz
    text += fm + " " + std::to_string(target_.GetPassband(slot_)) + "\n0 0\n";  // one filter
    text += "0\n0\n0\n0\n";  // no RIT, XIT, IF shift, announcements
    text += std::to_string(kRFAmplifierDb) + " \n" + std::to_string(kAttenuatorDb) + " \n";
    text += "0x0\n0x0\n";  // no functions to read or set
    text += Hex(kRigLevelPreamp | kRigLevelAtt | kRigLevelRawStrength | kRigLevelStrength) + "\n";
    text += Hex(kRigLevelPreamp | kRigLevelAtt) + "\n";
    text += "0x0\n0x0\n";  // no parameters to read or set
    return text;
}

std::string CnxRigctlCommandSet::DumpCaps() {
    const SnxRemoteFrequencyRange range = target_.GetFrequencyRange(slot_);
    std::string text;
    text.reserve(1024);
    text +=
        "Caps dump for model: 0\nModel name:\tK740RX\nMfg name:\tQuorvant\n"
        "Backend status:\tStable\nRig type:\tReceiver\nPTT type:\tNone\nDCD type:\tNone\n"
        "Port type:\tNetwork link\nHas targetable VFO: N\n";
    text += "Preamp: " + std::to_string(kRFAmplifierDb) + "dB\n";
    text += "Attenuator: " + std::to_string(kAttenuatorDb) + "dB\n";
    text += "Get level: PREAMP(0..0/0) ATT(0..0/0) RAWSTR(0..0/0) STRENGTH(0..0/0) \n";
    text += "Set level: PREAMP(0..0/0) ATT(0..0/0) \n";
    text += "Mode list: FM \nVFO list: VFOA \n";
    text += "RX ranges:\n\t" + std::to_string(range.lowest) + " Hz - " +
            std::to_string(range.highest) + " Hz\nTX ranges:\n";
    text += "Tuning steps:\n\t1 Hz:\tFM \n";
    text += "Filters:\n\t" + std::to_string(target_.GetPassband(slot_)) + " Hz:\tFM \n";
    for (const char* ability :
         {"set Frequency", "get Frequency", "set Mode", "get Mode", "set VFO", "get VFO",
          "set Tuning Step", "get Tuning Step", "set Level", "get Level", "get Power Stat"}) {
        text.append("Can ").append(ability).append(":\tY\n");
    }
    text += "Can set PTT:\tN\nCan get PTT:\tN\n";
    return text;
}
