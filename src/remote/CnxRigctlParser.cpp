#include "remote/CnxRigctlParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>

namespace {

using E = ERigctlCommand;

struct CommandName {
    char letter;  // 0: only the long form exists
    const char* name;
    std::uint8_t arguments;
    bool reading;
    E id;
    bool restOfLine = false;  // its one argument is the rest of the line, blanks and all
};

// rigctld's commands with the arguments each takes; those a receiver offers have their own ids.
constexpr CommandName kCommands[] = {
    {'F', "set_freq", 1, false, E::kSetFreq},
    {'f', "get_freq", 0, true, E::kGetFreq},
    {'M', "set_mode", 2, false, E::kSetMode},
    {'m', "get_mode", 0, true, E::kGetMode},
    {'I', "set_split_freq", 1, false, E::kUnsupported},
    {'i', "get_split_freq", 0, true, E::kUnsupported},
    {'X', "set_split_mode", 2, false, E::kUnsupported},
    {'x', "get_split_mode", 0, true, E::kUnsupported},
    {'K', "set_split_freq_mode", 3, false, E::kUnsupported},
    {'k', "get_split_freq_mode", 0, true, E::kUnsupported},
    {'S', "set_split_vfo", 2, false, E::kUnsupported},
    {'s', "get_split_vfo", 0, true, E::kGetSplitVfo},
    {'N', "set_ts", 1, false, E::kSetTuningStep},
    {'n', "get_ts", 0, true, E::kGetTuningStep},
    {'L', "set_level", 2, false, E::kSetLevel},
    {'l', "get_level", 1, true, E::kGetLevel},
    {'U', "set_func", 2, false, E::kUnsupported},
    {'u', "get_func", 1, true, E::kUnsupported},
    {'P', "set_parm", 2, false, E::kUnsupported},
    {'p', "get_parm", 1, true, E::kUnsupported},
    {'G', "vfo_op", 1, false, E::kUnsupported},
    {'g', "scan", 2, false, E::kUnsupported},
    {'A', "set_trn", 1, false, E::kUnsupported},
    {'a', "get_trn", 0, true, E::kUnsupported},
    {'R', "set_rptr_shift", 1, false, E::kUnsupported},
    {'r', "get_rptr_shift", 0, true, E::kUnsupported},
    {'O', "set_rptr_offs", 1, false, E::kUnsupported},
    {'o', "get_rptr_offs", 0, true, E::kUnsupported},
    {'C', "set_ctcss_tone", 1, false, E::kUnsupported},
    {'c', "get_ctcss_tone", 0, true, E::kUnsupported},
    {'D', "set_dcs_code", 1, false, E::kUnsupported},
    {'d', "get_dcs_code", 0, true, E::kUnsupported},
    {0, "set_ctcss_sql", 1, false, E::kUnsupported},
    {0, "get_ctcss_sql", 0, true, E::kUnsupported},
    {0, "set_dcs_sql", 1, false, E::kUnsupported},
    {0, "get_dcs_sql", 0, true, E::kUnsupported},
    {'V', "set_vfo", 1, false, E::kSetVfo},
    {'v', "get_vfo", 0, true, E::kGetVfo},
    {'T', "set_ptt", 1, false, E::kUnsupported},
    {'t', "get_ptt", 0, true, E::kUnsupported},
    {'E', "set_mem", 1, false, E::kUnsupported},
    {'e', "get_mem", 0, true, E::kUnsupported},
    {'H', "set_channel", 1, false, E::kUnsupported},
    {'h', "get_channel", 2, false, E::kUnsupported},
    {'B', "set_bank", 1, false, E::kUnsupported},
    {'_', "get_info", 0, true, E::kUnsupported},
    {'J', "set_rit", 1, false, E::kUnsupported},
    {'j', "get_rit", 0, true, E::kUnsupported},
    {'Z', "set_xit", 1, false, E::kUnsupported},
    {'z', "get_xit", 0, true, E::kUnsupported},
    {'Y', "set_ant", 2, false, E::kUnsupported},
    {'y', "get_ant", 1, true, E::kUnsupported},
    {0, "set_powerstat", 1, false, E::kUnsupported},
    {0, "get_powerstat", 0, true, E::kGetPowerStat},
    {0, "send_dtmf", 1, false, E::kUnsupported},
    {0, "recv_dtmf", 0, true, E::kUnsupported},
    {'*', "reset", 1, false, E::kUnsupported},
    {'w', "send_cmd", 1, true, E::kUnsupported, true},
    {'W', "send_cmd_rx", 2, true, E::kUnsupported},
    {'b', "send_morse", 1, false, E::kUnsupported, true},
    {0, "stop_morse", 0, false, E::kUnsupported},
    {0, "wait_morse", 0, false, E::kUnsupported},
    {0, "send_voice_mem", 1, false, E::kUnsupported},
    {0, "get_dcd", 0, true, E::kUnsupported},
    {0, "set_twiddle", 1, false, E::kUnsupported},
    {0, "get_twiddle", 0, true, E::kUnsupported},
    {0, "uplink", 1, false, E::kUnsupported},
    {0, "set_cache", 1, false, E::kUnsupported},
    {0, "get_cache", 0, true, E::kUnsupported},
    {'2', "power2mW", 3, true, E::kUnsupported},
    {'4', "mW2power", 3, true, E::kUnsupported},
    {'1', "dump_caps", 0, false, E::kDumpCaps},
    {'3', "dump_conf", 0, false, E::kUnsupported},
    {0, "dump_state", 0, true, E::kDumpState},
    {0, "chk_vfo", 0, false, E::kCheckVfo},
    {0, "set_vfo_opt", 1, false, E::kUnsupported},
    {0, "get_vfo_info", 1, true, E::kUnsupported},
    {0, "get_rig_info", 0, true, E::kUnsupported},
    {0, "get_vfo_list", 0, true, E::kUnsupported},
    {0, "get_modes", 0, true, E::kUnsupported},
    {0, "get_clock", 0, false, E::kUnsupported},
    {0, "set_clock", 1, false, E::kUnsupported},
    {0, "halt", 0, false, E::kUnsupported},
    {0, "pause", 1, false, E::kUnsupported},
    {0, "password", 1, false, E::kUnsupported},
    {0, "get_mode_bandwidths", 1, false, E::kUnsupported},
    {0, "set_separator", 1, false, E::kUnsupported},
    {0, "get_separator", 0, false, E::kUnsupported},
    {0, "set_lock_mode", 1, false, E::kUnsupported},
    {0, "get_lock_mode", 0, false, E::kUnsupported},
    {0, "send_raw", 2, true, E::kUnsupported},
    {'q', "quit", 0, false, E::kQuit},
    {'Q', "quit", 0, false, E::kQuit},
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsText(char c) {
    return IsBlank(c) || (c >= 0x20 && c < 0x7f);
}

// Punctuation in front of a command asks for the extended answer, with that character after each
// record ('+': line feeds). The backslash of a long name, the underscore command, the comment sign
// and parentheses are not such a sign.
bool IsStylePrefix(char c) {
    const std::string_view punctuation = "!\"$%&'*+,-./:;<=>?@[]^`{|}~";
    return punctuation.find(c) != std::string_view::npos;
}

const CommandName* FindByLetter(char letter) {
    const auto* found = std::find_if(
        std::begin(kCommands), std::end(kCommands),
        [&](const CommandName& entry) { return entry.letter != 0 && entry.letter == letter; });
    return found == std::end(kCommands) ? nullptr : found;
}

const CommandName* FindByName(std::string_view name) {
    const auto* found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                     [&](const CommandName& entry) { return name == entry.name; });
    return found == std::end(kCommands) ? nullptr : found;
}

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

void CnxRigctlParser::Feed(std::string_view line) {
    if (!std::all_of(line.begin(), line.end(), IsText)) {
        // Such bytes never become a command or an argument, whatever waited for one.
        Abandon();
        malformed_ = true;
        return;
    }
    line_.assign(line);
    at_ = 0;
}

void CnxRigctlParser::Abandon() {
    line_.clear();
    at_ = 0;
    separator_ = 0;
    waiting_ = false;
    command_ = SnxRigctlCommand();
}

std::string_view CnxRigctlParser::NextWord() {
    const std::string_view rest = std::string_view(line_).substr(at_);
    const auto begin = std::find_if_not(rest.begin(), rest.end(), IsBlank);
    const auto end = std::find_if(begin, rest.end(), IsBlank);
    at_ += static_cast<std::size_t>(end - rest.begin());
    return std::string_view(begin, end);
}

bool CnxRigctlParser::TakeArguments() {
    if (restOfLine_) {
        std::string_view rest = TrimEnd(std::string_view(line_).substr(at_));
        if (!rest.empty() && IsBlank(rest.front())) {
            rest.remove_prefix(1);
        }
        at_ = line_.size();
        if (rest.empty()) {
            return false;  // the next line is the argument
        }
        command_.args.emplace_back(rest);
        return true;
    }
    while (command_.args.size() < wanted_ && !command_.IsQuery()) {
        const std::string_view word = NextWord();
        if (word.empty()) {
            return false;
        }
        command_.args.emplace_back(word);
    }
    return true;
}

bool CnxRigctlParser::Next(SnxRigctlCommand& command) {
    if (malformed_) {
        malformed_ = false;
        command = SnxRigctlCommand();
        command.id = ERigctlCommand::kMalformed;
        return true;
    }
    for (;;) {
        if (waiting_) {
            if (!TakeArguments()) {
                return false;
            }
            waiting_ = false;
            command = std::move(command_);
            command_ = SnxRigctlCommand();
            return true;
        }
        while (at_ < line_.size() && IsBlank(line_[at_])) {
            ++at_;
        }
        if (at_ >= line_.size()) {
            return false;
        }
        const char c = line_[at_];
        if (c == '#') {
            at_ = line_.size();  // a comment to the end of the line
            continue;
        }
        if (IsStylePrefix(c)) {
            separator_ = c == '+' ? '\n' : c;
            ++at_;
            continue;
        }
        std::string_view word;
        const CommandName* entry = nullptr;
        if (c == '\\') {
            word = NextWord().substr(1);
            entry = FindByName(word);
        } else {
            word = std::string_view(line_).substr(at_++, 1);
            entry = FindByLetter(c);
        }
        if (entry == nullptr) {
            // As in rigctld, the style asked for stays for the next command.
            command = SnxRigctlCommand();
            command.name = word;
            return true;
        }
        command_ = SnxRigctlCommand();
        command_.id = entry->id;
        command_.name = entry->name;
        command_.reading = entry->reading;
        command_.separator = separator_;
        separator_ = 0;
        wanted_ = entry->arguments;
        restOfLine_ = entry->restOfLine;
        waiting_ = true;
    }
}
