#pragma once
// Keeps the simulation setup in step with the file named in QVK740RX_SIM. The file is looked at
// again at most every 200 ms (or at once when asked, or when the variable names another file); a
// changed content is taken up only when two looks in a row agree, so a file caught halfway through
// being rewritten never unplugs a radio for a moment. Not thread-safe: its owner serialises calls.
#include <chrono>
#include <optional>
#include <string>

#include "SimSetup.h"

class SimSetupFile {
public:
    static constexpr const char* kVariable = "QVK740RX_SIM";
    static constexpr std::chrono::milliseconds kCheckInterval{200};

    // The setup as of now. `immediately` reads the file without waiting for the next interval
    // and trusts a single read.
    const SimSetup& current(bool immediately);

private:
    using Clock = std::chrono::steady_clock;

    using Content = std::optional<std::string>;  // nothing: the file could not be read

    void reread(bool trustOneRead);
    void adopt(Content content);
    void report(const std::string& problem);

    std::string path_;
    bool checked_ = false;
    Clock::time_point lastCheck_;
    bool hasAdopted_ = false;
    Content adopted_;  // what the setup was made from
    bool hasCandidate_ = false;
    Content candidate_;  // a change seen once, awaiting confirmation
    SimSetup setup_;
    std::string lastProblem_;
};
