#include "SimPseudoTerminal.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

size_t SimPseudoTerminal::write(std::string_view bytes) {
    size_t sent = 0;
    const auto deadline = std::chrono::steady_clock::now() + kWriteTimeout;
    while (sent < bytes.size()) {
        const ssize_t count = ::write(fd_, bytes.data() + sent, bytes.size() - sent);
        if (count > 0) {
            sent += static_cast<size_t>(count);
            continue;
        }
        if (count < 0 && errno != EAGAIN && errno != EINTR) {
            break;
        }
        // A serial line drains at its own pace; wait for the program to read, but not forever.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{fd_, POLLOUT, 0};
        if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0 ||
            (entry.revents & POLLOUT) == 0) {
            break;
        }
    }
    return sent;
}
