#pragma once
// The unit's end of a pseudo-terminal: the program opens the other end (the path) as its serial
// port. Raw mode is set here already, so nothing the unit sends before the program configures the
// port is echoed back or held for a line.
#include <chrono>
#include <string>
#include <string_view>

class SimPseudoTerminal {
public:
    static constexpr std::chrono::seconds kWriteTimeout{2};

    SimPseudoTerminal();
    ~SimPseudoTerminal();
    SimPseudoTerminal(const SimPseudoTerminal&) = delete;
    SimPseudoTerminal& operator=(const SimPseudoTerminal&) = delete;

    bool isValid() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }
    int fd() const { return fd_; }

    // Whether some process has the other end open.
    bool isPeerOpen() const;
    // What has arrived; empty when nothing has.
    std::string read();
    // Sends the bytes, waiting while the line's buffer is full; what the program has not taken
    // within kWriteTimeout is dropped. Returns the count sent.
    size_t write(std::string_view bytes);

private:
    int fd_ = -1;
    std::string path_;
};
