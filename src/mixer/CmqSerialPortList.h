#pragma once
// The serial ports the mixer unit may sit on, in the order they are probed: the paths in
// K740RX_MIXER_PORTS (colon-separated) when it is set, else the system's serial ports by name.
// The n-th entry, counting from 0, is the port the program calls COMn; at most 100 are probed.
#include <string>
#include <vector>

class CmqSerialPortList {
public:
    static constexpr const char* kVariable = "K740RX_MIXER_PORTS";
    static constexpr std::size_t kMaxPorts = 100;

    static std::vector<std::string> Candidates();
    // The list the variable's value names; empty entries are skipped.
    static std::vector<std::string> FromVariable(const std::string& value);
};
