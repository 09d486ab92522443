#pragma once
// A serial port over POSIX termios for the mixer unit: 38400 8N1, raw, no flow control. One
// thread may read while another writes, as the unit's worker does while the window thread sends
// commands. Reads and writes never block longer than the time-out they are given, and a waiting
// reader can be woken from any thread so the port can be closed. No logging here: the callers
// report what they need in their own words.
#include <cstddef>
#include <string>
#include <string_view>

class CmqSerialPort {
public:
    enum class Wait { Input, Timeout, Woken, Lost };

    struct ReadResult {
        std::string text;
        bool atOnce = false;  // the bytes were there without waiting
        int error = 0;        // errno of a failed read, else 0
    };

    struct WriteResult {
        std::size_t written = 0;
        bool atOnce = false;    // all of it went without waiting
        bool timedOut = false;  // the time-out ended the write early
    };

    CmqSerialPort() = default;
    ~CmqSerialPort();
    CmqSerialPort(const CmqSerialPort&) = delete;
    CmqSerialPort& operator=(const CmqSerialPort&) = delete;

    // Opens for reading and writing, not shared with other openers (exclusive mode). Line
    // settings are applied separately.
    bool Open(const std::string& path);
    // Only once no other thread uses the port any more.
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // The line settings with DTR on or off and RTS off. False when any of it failed: a
    // pseudo-terminal takes the settings but has no modem lines to set.
    bool ApplyLineSettings(bool dtr);
    bool ClearBreak();

    // Bytes waiting to be read; -1 when the port cannot tell (closed or gone).
    int WaitingBytes() const;
    // Waits up to `timeoutMs` for input. Lost: the line has hung up or the device is gone.
    Wait WaitForInput(int timeoutMs) const;
    // Makes every WaitForInput from now until Close return Woken. Safe from any thread.
    void Wake();

    // Reads up to `count` bytes, waiting up to `timeoutMs` when none has arrived yet.
    ReadResult Read(std::size_t count, int timeoutMs);
    // Writes all of `text`, waiting up to `timeoutMs` in all for room; returns the count sent.
    WriteResult Write(std::string_view text, int timeoutMs);

private:
    bool SetModemLine(int line, bool on);

    int fd_ = -1;
    int wakeFd_ = -1;
};
