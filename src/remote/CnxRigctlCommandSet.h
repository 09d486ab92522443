#pragma once
// The commands a receiver slot answers: its frequency, mode and VFO, its levels (signal strength
// against S9, raw strength, attenuator, RF amplifier), the tuning step (the scan step), and the
// descriptions a rig-control client reads when it connects.
#include <cstdint>
#include <string>

#include "remote/CnxRigctlAnswer.h"
#include "remote/CnxRigctlParser.h"
#include "remote/InxRemoteTarget.h"

struct SnxRigctlOutcome {
    std::string answer;    // empty: nothing to send
    bool changed = false;  // a change went to the window: send the answer once it has been handled
    bool quit = false;     // the client says goodbye: close after the answer
};

class CnxRigctlCommandSet {
public:
    static constexpr double kS9Dbm = -72.0;  // STRENGTH is read in dB above this
    static constexpr int kAttenuatorDb = 18;
    static constexpr int kRFAmplifierDb = 10;

    CnxRigctlCommandSet(InxRemoteTarget& target, int slot);

    int GetSlot() const { return slot_; }
    SnxRigctlOutcome Execute(const SnxRigctlCommand& command);

private:
    int Run(const SnxRigctlCommand& command, CnxRigctlAnswer& answer, bool& changed);
    // A receiver sits in the slot and its radio answers.
    bool IsRadioPresent();
    int SetFrequency(const std::string& text, bool& changed);
    int SetMode(const SnxRigctlCommand& command, CnxRigctlAnswer& answer);
    int GetLevel(const std::string& name, CnxRigctlAnswer& answer);
    int SetLevel(const SnxRigctlCommand& command, CnxRigctlAnswer& answer, bool& changed);
    int SetTuningStep(const std::string& text, bool& changed);
    // Posts one of the main window's external messages.
    int Post(UINT message, WPARAM wParam, LPARAM lParam, bool& changed);
    std::string DumpState();
    std::string DumpCaps();

    InxRemoteTarget& target_;
    int slot_;
};
