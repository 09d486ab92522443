#include "mixer/CmqSerialPort.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "mixer/CmqSerialPortList.h"

namespace {

// A pseudo-terminal pair: the port under test opens `path`; the test plays the far end.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            path = ptsname(master_);
        }
    }
    ~PseudoTerminal() { HangUp(); }

    void Send(const std::string& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    std::string Receive() {
        std::string bytes;
        char block[256];
        ssize_t count;
        while ((count = read(master_, block, sizeof(block))) > 0) {
            bytes.append(block, static_cast<size_t>(count));
        }
        return bytes;
    }
    // The terminal settings of the port's end, as the port left them.
    termios Settings() const {
        termios settings{};
        tcgetattr(master_, &settings);
        return settings;
    }
    void HangUp() {
        if (master_ >= 0) {
            close(master_);
            master_ = -1;
        }
    }

    std::string path;

private:
    int master_ = -1;
};

// A port opened on the near end of a fresh pseudo-terminal.
class CmqSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(port.Open(far.path)); }

    PseudoTerminal far;
    CmqSerialPort port;
};

// Reads until `count` bytes have come or the port says nothing more is coming.
std::string ReadAtLeast(CmqSerialPort& port, size_t count) {
    std::string text;
    while (text.size() < count && port.WaitForInput(10000) == CmqSerialPort::Wait::Input) {
        text += port.Read(static_cast<size_t>(port.WaitingBytes()), 300).text;
    }
    return text;
}

TEST_F(CmqSerialPortTest, AppliesTheLineSettingsEvenWithoutModemLines) {
    EXPECT_FALSE(port.ApplyLineSettings(true)) << "a pseudo-terminal has no DTR to raise";
    const termios settings = far.Settings();
    EXPECT_EQ(cfgetispeed(&settings), B38400);
    EXPECT_EQ(cfgetospeed(&settings), B38400);
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS), tcflag_t{CS8});
    EXPECT_EQ(settings.c_lflag & (ICANON | ECHO | ISIG), 0u) << "raw: no line editing or echo";
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP | INPCK), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
}

TEST_F(CmqSerialPortTest, ReadsWhatIsWaitingAndWritesWholeCommandsOrWhatFitsInTime) {
    port.ApplyLineSettings(true);

    EXPECT_EQ(port.WaitForInput(50), CmqSerialPort::Wait::Timeout);
    EXPECT_TRUE(port.Read(16, 50).text.empty());

    far.Send("%22\r\n$00FF\r\n");
    EXPECT_EQ(ReadAtLeast(port, 12), "%22\r\n$00FF\r\n") << "CR and LF arrive untranslated";

    const CmqSerialPort::WriteResult written = port.Write("04!", 300);
    EXPECT_EQ(written.written, 3u);
    EXPECT_TRUE(written.atOnce);
    EXPECT_EQ(far.Receive(), "04!");

    // Far more than a pseudo-terminal buffers unread: the write ends at its time-out.
    const std::string flood(1 << 20, 'x');
    const CmqSerialPort::WriteResult partial = port.Write(flood, 300);
    EXPECT_TRUE(partial.timedOut);
    EXPECT_GT(partial.written, 0u);
    EXPECT_LT(partial.written, flood.size());
}

TEST_F(CmqSerialPortTest, WakeEndsAWaitFromAnotherThread) {
    auto waiting = std::async(std::launch::async, [this] {
        CmqSerialPort::Wait wait = CmqSerialPort::Wait::Timeout;
        // Each slice is long; only the wake-up can end all of them within the test's patience.
        for (int slice = 0; slice < 60 && wait == CmqSerialPort::Wait::Timeout; ++slice) {
            wait = port.WaitForInput(1000);
        }
        return wait;
    });
    port.Wake();
    EXPECT_EQ(waiting.get(), CmqSerialPort::Wait::Woken);
    EXPECT_EQ(port.WaitForInput(1000), CmqSerialPort::Wait::Woken) << "the wake-up stays set";

    // A fresh opening starts without it.
    ASSERT_TRUE(port.Open(far.path));
    EXPECT_EQ(port.WaitForInput(10), CmqSerialPort::Wait::Timeout);
}

TEST_F(CmqSerialPortTest, AVanishedLineIsReportedLost) {
    far.HangUp();
    EXPECT_EQ(port.WaitForInput(1000), CmqSerialPort::Wait::Lost);
    EXPECT_EQ(port.Write("04!", 300).written, 0u);
    EXPECT_TRUE(port.Read(4, 10).text.empty());
}

TEST(CmqSerialPort, AMissingDeviceDoesNotOpen) {
    CmqSerialPort port;
    EXPECT_FALSE(port.Open("/dev/k740rx-no-such-port"));
    EXPECT_EQ(port.WaitForInput(0), CmqSerialPort::Wait::Lost);
    EXPECT_EQ(port.Write("04!", 10).written, 0u);
}

TEST(CmqSerialPortList, TheVariableNamesThePortsInOrder) {
    EXPECT_EQ(CmqSerialPortList::FromVariable("/dev/pts/3::/dev/ttyUSB0:"),
              (std::vector<std::string>{"/dev/pts/3", "/dev/ttyUSB0"}));
    EXPECT_TRUE(CmqSerialPortList::FromVariable("").empty());

    setenv(CmqSerialPortList::kVariable, "/a:/b", 1);
    EXPECT_EQ(CmqSerialPortList::Candidates(), (std::vector<std::string>{"/a", "/b"}));
    // Set but empty: no port at all, whatever the system has.
    setenv(CmqSerialPortList::kVariable, "", 1);
    EXPECT_TRUE(CmqSerialPortList::Candidates().empty());
    std::string many;
    for (int i = 0; i < 150; ++i) {
        many += "/p" + std::to_string(i) + ":";
    }
    setenv(CmqSerialPortList::kVariable, many.c_str(), 1);
    const std::vector<std::string> ports = CmqSerialPortList::Candidates();
    ASSERT_EQ(ports.size(), CmqSerialPortList::kMaxPorts);
    EXPECT_EQ(ports.back(), "/p99");
    unsetenv(CmqSerialPortList::kVariable);
}

}  // namespace
