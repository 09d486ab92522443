#pragma once
// One line of the rig-control text protocol taken apart: the answer style it asks for, the command
// in its one-letter or its long (backslash) form, and the command's arguments. The line is judged
// on its own: a command that lacks arguments is marked incomplete rather than waiting for more.
#include <string>
#include <string_view>
#include <vector>

enum class ERigctlCommand {
    kNone,       // an empty line or a comment: nothing to answer
    kMalformed,  // bytes that are not text
    kUnknown,
    kSetFreq,
    kGetFreq,
    kSetMode,
    kGetMode,
    kSetVfo,
    kGetVfo,
    kSetLevel,
    kGetLevel,
    kSetTuningStep,
    kGetTuningStep,
    kGetSplitVfo,
    kGetPowerStat,
    kCheckVfo,
    kDumpState,
    kDumpCaps,
    kQuit,
};

struct SnxRigctlCommand {
    ERigctlCommand id = ERigctlCommand::kNone;
    std::string name;               // the long name; for an unknown command the word sent
    std::vector<std::string> args;  // as sent, no more than the command takes
    bool complete = true;           // every argument was there
    // 0: the default protocol. Otherwise the extended one, with this character after each record
    // ('+' on the line asks for line feeds).
    char separator = 0;

    bool IsExtended() const { return separator != 0; }
    // A question for the list of possible values ("l ?") instead of a value.
    bool IsQuery() const { return !args.empty() && args.front() == "?"; }
};

class CnxRigctlParser {
public:
    static SnxRigctlCommand Parse(std::string_view line);
};
