#include "remote/CnxRigctlParser.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace {

struct CommandName {
    char letter;  // 0: only the long form exists
    const char* name;
    std::size_t arguments;
    ERigctlCommand id;
};

constexpr CommandName kCommands[] = {
    {'F', "set_freq", 1, ERigctlCommand::kSetFreq},
    {'f', "get_freq", 0, ERigctlCommand::kGetFreq},
    {'M', "set_mode", 2, ERigctlCommand::kSetMode},
    {'m', "get_mode", 0, ERigctlCommand::kGetMode},
    {'V', "set_vfo", 1, ERigctlCommand::kSetVfo},
    {'v', "get_vfo", 0, ERigctlCommand::kGetVfo},
    {'L', "set_level", 2, ERigctlCommand::kSetLevel},
    {'l', "get_level", 1, ERigctlCommand::kGetLevel},
    {'N', "set_ts", 1, ERigctlCommand::kSetTuningStep},
    {'n', "get_ts", 0, ERigctlCommand::kGetTuningStep},
    {'s', "get_split_vfo", 0, ERigctlCommand::kGetSplitVfo},
    {0, "get_powerstat", 0, ERigctlCommand::kGetPowerStat},
    {0, "chk_vfo", 0, ERigctlCommand::kCheckVfo},
    {0, "dump_state", 0, ERigctlCommand::kDumpState},
    {'1', "dump_caps", 0, ERigctlCommand::kDumpCaps},
    {'q', "quit", 0, ERigctlCommand::kQuit},
    {'Q', "quit", 0, ERigctlCommand::kQuit},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsText(char c) {
    return IsBlank(c) || (c >= 0x20 && c < 0x7f);
}

// Punctuation before the command asks for the extended answer; a few characters mean something
// else: the backslash of a long name, help, the information command and comments.
bool IsStylePrefix(char c) {
    const std::string_view punctuation = "!\"$%&'()*+,-./:;<=>@[]^`{|}~";
    return punctuation.find(c) != std::string_view::npos;
}

std::string_view TrimFront(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    return text;
}

// Takes the first word off the text.
std::string_view NextWord(std::string_view& text) {
    text = TrimFront(text);
    const auto end = std::find_if(text.begin(), text.end(), IsBlank);
    const std::string_view word = text.substr(0, static_cast<std::size_t>(end - text.begin()));
    text.remove_prefix(word.size());
    return word;
}

const CommandName* Find(std::string_view word) {
    const bool longForm = word.front() == '\\';
    const auto matches = [&](const CommandName& entry) {
        return longForm ? word.substr(1) == entry.name
                        : word.size() == 1 && entry.letter != 0 && word.front() == entry.letter;
    };
    const auto* found = std::find_if(std::begin(kCommands), std::end(kCommands), matches);
    return found == std::end(kCommands) ? nullptr : found;
}

}  // namespace

SnxRigctlCommand CnxRigctlParser::Parse(std::string_view line) {
    SnxRigctlCommand command;
    while (!line.empty() && (line.back() == '\r' || IsBlank(line.back()))) {
        line.remove_suffix(1);
    }
    if (!std::all_of(line.begin(), line.end(), IsText)) {
        command.id = ERigctlCommand::kMalformed;
        return command;
    }
    line = TrimFront(line);
    if (!line.empty() && IsStylePrefix(line.front())) {
        command.separator = line.front() == '+' ? '\n' : line.front();
        line = TrimFront(line.substr(1));
    }
    if (line.empty() || line.front() == '#') {
        return command;
    }

    const std::string_view word = NextWord(line);
    const CommandName* entry = Find(word);
    if (entry == nullptr) {
        command.id = ERigctlCommand::kUnknown;
        command.name = word.front() == '\\' ? word.substr(1) : word;
        return command;
    }
    command.id = entry->id;
    command.name = entry->name;
    while (command.args.size() < entry->arguments) {
        const std::string_view argument = NextWord(line);
        if (argument.empty()) {
            break;
        }
        command.args.emplace_back(argument);
    }
    command.complete = command.args.size() == entry->arguments || command.IsQuery();
    if (command.IsQuery()) {
        command.args.resize(1);
    }
    return command;
}
