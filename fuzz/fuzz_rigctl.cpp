// Feeds arbitrary bytes to a receiver slot's server as a client's stream: cut into lines as they
// would arrive in pieces, taken apart into commands, and answered against a fixed slot. Checks that
// the pieces do not change the lines and that every answer is well formed for the style it was
// asked in.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "remote/CnxRigctlCommandSet.h"
#include "remote/CnxRigctlLineReader.h"
#include "remote/CnxRigctlParser.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A slot without a main window: every change that needs the window fails, the others apply.
class FixedTarget : public InxRemoteTarget {
public:
    HWND GetMessageWindow() override { return 0; }
    int GetSelectedSlot() override { return 0; }
    bool HasReceiver(int slot) override { return slot != 2; }
    bool IsRadioConnected(int slot) override { return slot != 4; }
    SnxRemoteFrequencyRange GetFrequencyRange(int) override { return {136000000, 225000000}; }
    int32_t GetFrequency(int) override { return 162250000; }
    double GetLevelDbm(int slot) override { return slot == 3 ? std::nan("") : -60.4; }
    int GetRawLevel(int) override { return 178; }
    bool GetSlotAttenuator(int slot) override { return attenuator_[slot]; }
    bool GetRFAmplifier(int) override { return true; }
    int32_t GetPassband(int) override { return 24000; }
    int32_t GetScanStep(int) override { return 375000; }
    void SetSlotAttenuator(int slot, bool on) override { attenuator_[slot] = on; }

private:
    bool attenuator_[8] = {};
};

struct Event {
    CnxRigctlLineReader::Event kind;
    std::string line;
    bool operator==(const Event&) const = default;
};

// Every event of the stream fed to a reader in pieces of the given size.
template <typename Visit>
void ReadAll(std::string_view stream, std::size_t piece, Visit visit) {
    CnxRigctlLineReader reader;
    Event event;
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        reader.Append(stream.substr(at, piece));
        while ((event.kind = reader.Next(event.line)) != CnxRigctlLineReader::Event::kNothing) {
            Require(event.line.size() <= CnxRigctlLineReader::kMaxLineLength + 1);
            visit(event);
        }
    }
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

void CheckAnswer(const SnxRigctlCommand& command, int slot, const SnxRigctlOutcome& outcome) {
    const std::string& answer = outcome.answer;
    Require(answer.size() < 4096);
    if (command.id == ERigctlCommand::kUnknown) {
        Require(answer.empty() && !outcome.changed);
        return;
    }
    Require(EndsWith(answer, "\n"));
    // Without a window only the attenuator of an unselected slot can change.
    Require(!outcome.changed || (command.id == ERigctlCommand::kSetLevel && slot != 0));
    const bool special = command.id == ERigctlCommand::kCheckVfo ||
                         command.id == ERigctlCommand::kQuit ||
                         command.id == ERigctlCommand::kMalformed;
    if (command.IsExtended() && !special) {
        const std::string_view text(answer);
        Require(text.starts_with(command.name) && text.substr(command.name.size(), 1) == ":");
        Require(answer.rfind("RPRT ") != std::string::npos);
    }
    if (command.id == ERigctlCommand::kUnsupported) {
        Require(EndsWith(answer, "RPRT -11\n"));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const int slot = data[0] % 8;
    const std::string_view stream(reinterpret_cast<const char*>(data) + 1, size - 1);

    std::vector<Event> whole;
    ReadAll(stream, stream.size() + 1, [&](const Event& event) { whole.push_back(event); });
    std::size_t same = 0;
    ReadAll(stream, 1 + data[0] % 7,
            [&](const Event& event) { Require(same < whole.size() && whole[same++] == event); });
    Require(same == whole.size());

    FixedTarget target;
    CnxRigctlCommandSet commands(target, slot);
    CnxRigctlParser parser;
    SnxRigctlCommand command;
    for (const Event& event : whole) {
        if (event.kind == CnxRigctlLineReader::Event::kLine) {
            parser.Feed(event.line);
        } else {
            parser.Abandon();
        }
        while (parser.Next(command)) {
            Require(command.args.size() <= 3);
            CheckAnswer(command, slot, commands.Execute(command));
        }
    }
    return 0;
}
