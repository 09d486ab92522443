#include "mixer/CmqSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>

namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

enum class Ready { Yes, TimedOut, Failed };

Ready WaitFor(int fd, short events, int timeoutMs) {
    pollfd entry{fd, events, 0};
    const int result = poll(&entry, 1, timeoutMs);
    if (result == 0) {
        return Ready::TimedOut;
    }
    return result > 0 && (entry.revents & events) != 0 ? Ready::Yes : Ready::Failed;
}

}  // namespace

CmqSerialPort::~CmqSerialPort() {
    Close();
}

bool CmqSerialPort::Open(const std::string& path) {
    Close();
    // Non-blocking, so every wait is ours and bounded; no controlling terminal for a serial line.
    fd_ = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        return false;
    }
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0 || ioctl(fd_, TIOCEXCL) != 0) {
        Close();
        return false;
    }
    return true;
}

void CmqSerialPort::Close() {
    if (fd_ >= 0) {
        ioctl(fd_, TIOCNXCL);
        close(fd_);
        fd_ = -1;
    }
    if (wakeFd_ >= 0) {
        close(wakeFd_);
        wakeFd_ = -1;
    }
}

bool CmqSerialPort::ApplyLineSettings(bool dtr) {
    if (fd_ < 0) {
        return false;
    }
    termios settings{};  // everything off that is not set below: no parity, no flow control
    settings.c_cflag = CS8 | CREAD | CLOCAL;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    const bool lineSet = cfsetispeed(&settings, B38400) == 0 &&
                         cfsetospeed(&settings, B38400) == 0 &&
                         tcsetattr(fd_, TCSANOW, &settings) == 0;
    const bool rtsSet = SetModemLine(TIOCM_RTS, false);
    const bool dtrSet = SetModemLine(TIOCM_DTR, dtr);
    return lineSet && rtsSet && dtrSet;
}

bool CmqSerialPort::SetModemLine(int line, bool on) {
    return ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) == 0;
}

bool CmqSerialPort::ClearBreak() {
    return fd_ >= 0 && ioctl(fd_, TIOCCBRK) == 0;
}

int CmqSerialPort::WaitingBytes() const {
    int count = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &count) != 0) {
        return -1;
    }
    return count;
}

CmqSerialPort::Wait CmqSerialPort::WaitForInput(int timeoutMs) const {
    if (fd_ < 0) {
        return Wait::Lost;
    }
    pollfd entries[2] = {{fd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    const int ready = poll(entries, 2, timeoutMs);
    if (ready < 0) {
        return errno == EINTR ? Wait::Timeout : Wait::Lost;
    }
    if ((entries[1].revents & POLLIN) != 0) {
        return Wait::Woken;
    }
    if ((entries[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        return Wait::Lost;
    }
    return (entries[0].revents & POLLIN) != 0 ? Wait::Input : Wait::Timeout;
}

void CmqSerialPort::Wake() {
    if (wakeFd_ >= 0) {
        const std::uint64_t one = 1;
        // The counter only grows; it stays readable until Close, so no wake-up can be missed.
        [[maybe_unused]] const ssize_t ignored = write(wakeFd_, &one, sizeof(one));
    }
}

CmqSerialPort::ReadResult CmqSerialPort::Read(std::size_t count, int timeoutMs) {
    ReadResult result;
    if (fd_ < 0 || count == 0) {
        return result;
    }
    result.text.resize(count);
    ssize_t got = read(fd_, result.text.data(), count);
    result.atOnce = got >= 0;
    if (got < 0 && errno == EAGAIN && WaitFor(fd_, POLLIN, timeoutMs) == Ready::Yes) {
        got = read(fd_, result.text.data(), count);
    }
    if (got < 0) {
        result.error = errno == EAGAIN ? 0 : errno;
        got = 0;
    }
    result.text.resize(static_cast<std::size_t>(got));
    return result;
}

CmqSerialPort::WriteResult CmqSerialPort::Write(std::string_view text, int timeoutMs) {
    WriteResult result;
    if (fd_ < 0) {
        return result;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    bool waited = false;
    while (result.written < text.size()) {
        const ssize_t sent = write(fd_, text.data() + result.written, text.size() - result.written);
        if (sent > 0) {
            result.written += static_cast<std::size_t>(sent);
            continue;
        }
        if (sent < 0 && errno != EAGAIN && errno != EINTR) {
            return result;  // the line is gone
        }
        waited = true;
        const Ready ready = WaitFor(fd_, POLLOUT, MillisecondsUntil(deadline));
        if (ready != Ready::Yes) {
            result.timedOut = ready == Ready::TimedOut;
            return result;
        }
    }
    result.atOnce = !waited;
    return result;
}
