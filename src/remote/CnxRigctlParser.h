#pragma once
// A client's lines of the rig-control text protocol taken apart into commands, the way rigctld
// reads them: a line may hold several commands ("f m"), and a command whose arguments are not all
// on its line takes the rest from the lines that follow ("F" then "150000000"). Each command may
// carry its own answer style in front of it; the command is in its one-letter or its long
// (backslash) form. Every command rigctld knows is recognised, so that the ones a receiver cannot
// carry out still take their arguments and are answered under their own names.
#include <string>
#include <string_view>
#include <vector>

enum class ERigctlCommand {
    kMalformed,    // a line with bytes that are not text
    kUnknown,      // a word rigctld does not know either: it goes unanswered, as there
    kUnsupported,  // known to rigctld, not offered by a receiver
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
    ERigctlCommand id = ERigctlCommand::kUnknown;
    std::string name;               // the long name; for an unknown command the word sent
    std::vector<std::string> args;  // as sent
    // A reading answers with its values alone in the default style; anything else ends with
    // "RPRT n" there too.
    bool reading = false;
    // 0: the default protocol. Otherwise the extended one, with this character after each record
    // ('+' asks for line feeds).
    char separator = 0;

    bool IsExtended() const { return separator != 0; }
    // A question for the list of possible values ("l ?") instead of a value.
    bool IsQuery() const { return !args.empty() && args.front().starts_with('?'); }
};

class CnxRigctlParser {
public:
    // The next line of the client's input, without its line feed.
    void Feed(std::string_view line);
    // Takes the next command that is complete in what was fed; false when there is none yet.
    bool Next(SnxRigctlCommand& command);
    // Drops the rest of the line and any command still waiting for arguments.
    void Abandon();
    // A command has begun whose arguments have not all come: the client owes us the rest.
    bool IsWaitingForArguments() const { return waiting_; }

private:
    bool TakeArguments();
    std::string_view NextWord();

    std::string line_;
    std::size_t at_ = 0;  // what lies before it has been parsed
    bool malformed_ = false;
    char separator_ = 0;  // asked for in front of a command that has not come yet
    SnxRigctlCommand command_;
    std::size_t wanted_ = 0;   // arguments the command takes
    bool restOfLine_ = false;  // its one argument is the rest of the line
    bool waiting_ = false;
};
