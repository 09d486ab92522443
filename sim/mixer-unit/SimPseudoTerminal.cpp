#include "SimPseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>

SimPseudoTerminal::SimPseudoTerminal() {
    fd_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        return;
    }
    const char* name = nullptr;
    termios settings{};
    if (grantpt(fd_) != 0 || unlockpt(fd_) != 0 || (name = ptsname(fd_)) == nullptr ||
        tcgetattr(fd_, &settings) != 0) {
        close(fd_);
        fd_ = -1;
        return;
    }
    path_ = name;
    // Settings made through this end apply to the program's end.
    cfmakeraw(&settings);
    cfsetspeed(&settings, B38400);
    tcsetattr(fd_, TCSANOW, &settings);
    // Until the other end has been opened once, nothing tells whether it is open; opening and
    // closing it here puts the line into the closed state that the program's open then ends.
    const int peer = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (peer >= 0) {
        close(peer);
    }
}

SimPseudoTerminal::~SimPseudoTerminal() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool SimPseudoTerminal::isPeerOpen() const {
    pollfd entry{fd_, 0, 0};
    return poll(&entry, 1, 0) == 0 || (entry.revents & POLLHUP) == 0;
}

std::string SimPseudoTerminal::read() {
    std::string bytes;
    char block[4096];
    ssize_t count;
    while ((count = ::read(fd_, block, sizeof(block))) > 0) {
        bytes.append(block, static_cast<size_t>(count));
    }
    return bytes;
}

void SimPseudoTerminal::write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t count = ::write(fd_, bytes.data(), bytes.size());
        if (count <= 0) {
            return;
        }
        bytes.remove_prefix(static_cast<size_t>(count));
    }
}
