#pragma once
// The simulated knob box (k740rx-mixer-unit) as a child process: its terminal's path, the actions
// fed to its input, and what it printed. Started with a plain fork and exec, which
// ThreadSanitizer follows (QProcess's way of starting a child confuses it).
#include <sys/types.h>

#include <string>
#include <vector>

class MixerUnitProcess {
public:
    explicit MixerUnitProcess(const std::vector<std::string>& arguments = {});
    ~MixerUnitProcess();
    MixerUnitProcess(const MixerUnitProcess&) = delete;
    MixerUnitProcess& operator=(const MixerUnitProcess&) = delete;

    // The pseudo-terminal the program is to open; empty when the unit did not start.
    const std::string& Path() const { return path_; }
    // One action line, e.g. "turn +8".
    void Do(const std::string& action);
    // The commands it received so far, as it prints them (CR LF as \r\n).
    std::vector<std::string> Received();
    // Pumps the event loop until it has received `count` commands.
    bool WaitForReceived(std::size_t count);
    void Kill();

private:
    void Collect();

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string path_;
    std::string partial_;
    std::vector<std::string> lines_;
};
