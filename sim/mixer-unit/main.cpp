// k740rx-mixer-unit: a simulated knob box on a pseudo-terminal. Prints the terminal's path, then
// plays the unit for whichever program opens it, printing every command it receives. See README.md.
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "SimMixerAction.h"
#include "SimMixerUnit.h"
#include "SimPseudoTerminal.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct Options {
    std::string identification = SimMixerUnit::kDefaultIdentification;
    uint16_t position = 0;
    milliseconds repeat{100};
    std::deque<SimMixerAction> actions;
};

void usage() {
    std::fprintf(stderr,
                 "usage: k740rx-mixer-unit [--ident TEXT] [--position N] [--repeat MS] "
                 "[ACTION ...]\n"
                 "actions: \"turn +8\", \"press 2\", \"send TEXT\", \"wait MS\", \"quit\"; more "
                 "come one a line on standard input\n");
}

std::optional<int> integer(const char* text, int low, int high) {
    int value = 0;
    const char* end = text + std::strlen(text);
    const auto [last, problem] = std::from_chars(text, end, value);
    if (problem != std::errc() || last != end || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

std::optional<Options> parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--ident" && hasValue) {
            options.identification = argv[++i];
        } else if (arg == "--position" && hasValue) {
            const auto value = integer(argv[++i], 0, 65535);
            if (!value) {
                return std::nullopt;
            }
            options.position = static_cast<uint16_t>(*value);
        } else if (arg == "--repeat" && hasValue) {
            const auto value = integer(argv[++i], 1, 60000);
            if (!value) {
                return std::nullopt;
            }
            options.repeat = milliseconds(*value);
        } else {
            std::string error;
            auto action = SimMixerAction::parse(arg, error);
            if (!error.empty()) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return std::nullopt;
            }
            if (action) {
                options.actions.push_back(*action);
            }
        }
    }
    return options;
}

class UnitRunner {
public:
    UnitRunner(SimPseudoTerminal& terminal, Options options)
        : terminal_(terminal),
          unit_(options.identification, options.position),
          repeat_(options.repeat),
          actions_(std::move(options.actions)) {}

    int run() {
        while (!quit_) {
            const Clock::time_point now = Clock::now();
            followPeer(now);
            runActions(now);
            sayUnitLines();
            if (!quit_) {
                waitForWork();
            }
        }
        return 0;
    }

private:
    void followPeer(Clock::time_point now) {
        const bool open = terminal_.isPeerOpen();
        // What the program wrote just before it closed the line still counts.
        if (peerOpen_) {
            const std::string received = terminal_.read();
            if (!received.empty()) {
                send(unit_.receive(received));
            }
        }
        if (open != peerOpen_) {
            peerOpen_ = open;
            open ? unit_.portOpened() : unit_.portClosed();
            nextIdentification_ = now;
        }
        if (peerOpen_ && unit_.isIdentifying() && now >= nextIdentification_) {
            send(unit_.identificationLine());
            nextIdentification_ = now + repeat_;
        }
    }

    // Scripted actions wait until the program uses the unit, then run in order.
    void runActions(Clock::time_point now) {
        while (!actions_.empty() && unit_.isInUse() && now >= waitUntil_ && !quit_) {
            const SimMixerAction action = actions_.front();
            actions_.pop_front();
            switch (action.kind) {
                case SimMixerAction::Kind::Turn:
                    send(unit_.turn(action.value));
                    break;
                case SimMixerAction::Kind::Press:
                    send(unit_.press(action.value));
                    break;
                case SimMixerAction::Kind::Send:
                    send(action.bytes);
                    break;
                case SimMixerAction::Kind::Wait:
                    waitUntil_ = now + milliseconds(action.value);
                    break;
                case SimMixerAction::Kind::Quit:
                    quit_ = true;
                    break;
            }
        }
    }

    // What the unit noted comes first, so the output reads in the order things happened.
    void send(const std::string& bytes) {
        sayUnitLines();
        if (bytes.empty()) {
            return;
        }
        if (!peerOpen_) {
            say("dropped " + SimMixerUnit::quoted(bytes));
            return;
        }
        const size_t sent = terminal_.write(bytes);
        say("sent " + SimMixerUnit::quoted(bytes.substr(0, sent)));
        if (sent < bytes.size()) {
            say("dropped " + SimMixerUnit::quoted(bytes.substr(sent)));
        }
    }

    void sayUnitLines() {
        for (const std::string& line : unit_.takeLines()) {
            say(line);
        }
    }

    void say(const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    }

    // Sleeps until the program writes, the line opens or closes, input arrives or a timed step
    // is due.
    void waitForWork() {
        std::vector<pollfd> entries;
        if (inputOpen_) {
            entries.push_back({STDIN_FILENO, POLLIN, 0});
        }
        if (peerOpen_) {
            entries.push_back({terminal_.fd(), POLLIN, 0});
        }
        int timeout = -1;
        const auto due = [&](Clock::time_point when) {
            const auto left = std::chrono::duration_cast<milliseconds>(when - Clock::now());
            const int ms = static_cast<int>(std::max<milliseconds::rep>(1, left.count() + 1));
            timeout = timeout < 0 ? ms : std::min(timeout, ms);
        };
        if (!peerOpen_) {
            due(Clock::now() + milliseconds(20));  // nothing signals an opening: look again soon
        }
        if (peerOpen_ && unit_.isIdentifying()) {
            due(nextIdentification_);
        }
        if (!actions_.empty() && unit_.isInUse()) {
            due(waitUntil_);
        }
        poll(entries.data(), entries.size(), timeout);
        if (inputOpen_ && (entries[0].revents & (POLLIN | POLLHUP)) != 0) {
            readInput();
        }
    }

    void readInput() {
        char block[4096];
        const ssize_t count = read(STDIN_FILENO, block, sizeof(block));
        if (count <= 0) {
            inputOpen_ = false;  // the unit goes on with what it has
            return;
        }
        input_.append(block, static_cast<size_t>(count));
        size_t end;
        while ((end = input_.find('\n')) != std::string::npos) {
            std::string error;
            const auto action =
                SimMixerAction::parse(std::string_view(input_).substr(0, end), error);
            if (!error.empty()) {
                std::fprintf(stderr, "%s\n", error.c_str());
            } else if (action) {
                actions_.push_back(*action);
            }
            input_.erase(0, end + 1);
        }
    }

    SimPseudoTerminal& terminal_;
    SimMixerUnit unit_;
    milliseconds repeat_;
    std::deque<SimMixerAction> actions_;
    bool peerOpen_ = false;
    bool inputOpen_ = true;
    bool quit_ = false;
    std::string input_;
    Clock::time_point nextIdentification_;
    Clock::time_point waitUntil_;
};

}  // namespace

int main(int argc, char** argv) {
    std::optional<Options> options = parseOptions(argc, argv);
    if (!options) {
        usage();
        return 2;
    }
    SimPseudoTerminal terminal;
    if (!terminal.isValid()) {
        std::perror("k740rx-mixer-unit: cannot create a pseudo-terminal");
        return 1;
    }
    std::printf("%s\n", terminal.path().c_str());
    std::fflush(stdout);
    return UnitRunner(terminal, std::move(*options)).run();
}
