#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <future>
#include <set>
#include <string>

#include "SimDriverLibrary.h"
#include "SimFile.h"

namespace {

uint32_t eepromU32(const std::array<uint8_t, 256>& eeprom, size_t offset) {
    return static_cast<uint32_t>(eeprom[offset]) | static_cast<uint32_t>(eeprom[offset + 1]) << 8U |
           static_cast<uint32_t>(eeprom[offset + 2]) << 16U |
           static_cast<uint32_t>(eeprom[offset + 3]) << 24U;
}

std::string infoText(SimDriverLibrary& driver, K7Handle handle) {
    std::array<char, 128> text{};
    EXPECT_EQ(driver.K7GetInfo(handle, text.data(), static_cast<int32_t>(text.size())), 1);
    return text.data();
}

// Also that the library loads with every driver export.
TEST(SimDriverRadios, WithoutAFileOnlyTheDemoRadioOpensAndHandlesAreSmallAndReused) {
    unsetenv("QVK740RX_SIM");
    SimDriverLibrary driver;
    ASSERT_TRUE(driver.missing().empty()) << driver.missing().front();

    std::array<RadioInfo, 10> list{};
    uint32_t count = 99;
    EXPECT_EQ(driver.K7GetRadioList3(list.data(), sizeof(list), &count), 0);
    EXPECT_EQ(count, 0U);
    EXPECT_EQ(driver.OpenRadioDevice(0), 0U);
    EXPECT_EQ(driver.K7Open("4711001"), 0U);
    EXPECT_EQ(driver.K7Open(nullptr), 0U);

    const K7Handle first = driver.K7Open("DEMO");
    const K7Handle second = driver.K7Open("DEMO");
    EXPECT_NE(first, second);
    EXPECT_EQ(driver.IsDeviceConnected(first), 1);
    EXPECT_EQ(driver.GetPower(first), 1);

    EXPECT_NE(driver.CloseRadioDevice(first), 0);
    EXPECT_EQ(driver.CloseRadioDevice(first), 0);
    EXPECT_EQ(driver.IsDeviceConnected(first), 0);
    EXPECT_EQ(driver.SetVolume(first, 3), 0);
    EXPECT_EQ(driver.CloseRadioDevice(12345), 0);
    EXPECT_EQ(driver.IsDeviceConnected(second), 1);

    std::set<K7Handle> handles{second};
    for (int i = 1; i < 64; ++i) {
        const K7Handle handle = driver.K7Open("DEMO");
        EXPECT_TRUE(handle >= 1U && handle <= 64U) << handle;
        handles.insert(handle);
    }
    EXPECT_EQ(handles.size(), 64U);
    EXPECT_EQ(driver.K7Open("DEMO"), 0U) << "no room beyond 64 open handles";
    ASSERT_NE(driver.CloseRadioDevice(17), 0);
    EXPECT_EQ(driver.K7Open("DEMO"), 17U);
}

TEST(SimDriverRadios, ListsTheRadiosOfTheFile) {
    SimFile file(SimFile::radio(0, "4711001", "K7USB-A") + "firmware = 260\nhardware = 7\n" +
                 SimFile::radio(1, "4711002", "K7PCI-B", true) +
                 SimFile::radio(2, "4711003", "K7SER", false, false) +
                 "[signals]\n142750000 = -62   ; a sonobuoy\n");
    SimDriverLibrary driver;

    std::array<RadioInfo, 10> list{};
    uint32_t count = 0;
    ASSERT_EQ(driver.K7GetRadioList3(list.data(), 420, &count), 2)
        << "the unplugged radio is not listed";
    EXPECT_EQ(count, 2U);
    EXPECT_EQ(uint32_t{list[0].length}, 42U);
    EXPECT_STREQ(list[0].serial, "4711001");
    EXPECT_STREQ(list[0].productName, "K7USB-A");
    EXPECT_EQ(uint32_t{list[0].valueA}, 260U);
    EXPECT_EQ(uint32_t{list[0].valueB}, 7U);
    EXPECT_STREQ(list[1].serial, "4711002");
    EXPECT_STREQ(list[1].productName, "K7PCI-B");

    // A buffer for one entry gets one; the count of radios is still the whole.
    std::array<RadioInfo, 2> small{};
    std::memset(small.data(), 0x5A, sizeof(small));
    EXPECT_EQ(driver.K7GetRadioList3(small.data(), 42, &count), 2);
    EXPECT_EQ(count, 1U);
    EXPECT_STREQ(small[0].serial, "4711001");
    EXPECT_EQ(uint32_t{small[1].length}, 0x5A5A5A5AU) << "nothing written beyond the buffer";
    EXPECT_EQ(driver.K7GetRadioList3(nullptr, 420, nullptr), 2);

    const K7Handle second = driver.OpenRadioDevice(1);
    ASSERT_NE(second, 0U);
    EXPECT_NE(infoText(driver, second).find("4711002"), std::string::npos);
    EXPECT_EQ(driver.OpenRadioDevice(2), 0U);
    EXPECT_NE(driver.K7Open("4711001"), 0U);
    EXPECT_EQ(driver.K7Open("4711003"), 0U) << "unplugged";
    EXPECT_EQ(driver.K7Open("999"), 0U);
}

TEST(SimDriverRadios, AFaultyFileMeansNoRadio) {
    const std::string good = SimFile::radio(0, "4711001", "K7USB-A");
    const std::string faulty[] = {
        good + "this line has no equals sign\n",
        good + "connected = maybe\n",
        "[radio0]\nserial = 123456789\n",
        "[radio0]\nproduct = K7USB\n",
        "[radio0\nserial = 1\n",
        "serial = 1\n",
        good + "[signals]\nabc = -60\n",
        good + "[signals]\n142750000 = loud\n",
        good + "[schedule]\n142750000 = -60, 10\n",
        good + "[schedule]\n142750000 = -60, 10, 5\n",
        good + "[schedule]\n142750000 = -60, 0, 5, 4\n",
        good + "[schedule]\n142750000 = -60, -1, 5\n",
        good + "[schedule]\n142750000 = -60, soon, 5\n",
        good + SimFile::radio(0, "4711002", "K7USB"),
    };
    SimFile file(good);
    {
        SimDriverLibrary driver;
        ASSERT_EQ(driver.K7GetRadioList3(nullptr, 0, nullptr), 1) << "the well-formed file is read";
    }
    for (const std::string& text : faulty) {
        file.write(text);
        SimDriverLibrary driver;
        EXPECT_EQ(driver.K7GetRadioList3(nullptr, 0, nullptr), 0) << text;
        EXPECT_EQ(driver.K7Open("4711001"), 0U) << text;
        EXPECT_NE(driver.K7Open("DEMO"), 0U) << text;
    }
    setenv("QVK740RX_SIM", "/nonexistent/radios.ini", 1);
    SimDriverLibrary driver;
    EXPECT_EQ(driver.K7GetRadioList3(nullptr, 0, nullptr), 0);
    EXPECT_NE(driver.K7Open("DEMO"), 0U);
}

// Something other than a file named by mistake: a pipe would block the program in its open until
// a writer came (and with it the window thread, deaf to every signal), a folder cannot be read.
TEST(SimDriverRadios, OnlyARegularFileDescribesRadios) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const std::string pipe = folder.filePath("radios.fifo").toStdString();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    for (const std::string& path : {pipe, folder.path().toStdString()}) {
        SCOPED_TRACE(path);
        setenv("QVK740RX_SIM", path.c_str(), 1);
        SimDriverLibrary driver;
        auto listed = std::async(std::launch::async,
                                 [&] { return driver.K7GetRadioList3(nullptr, 0, nullptr); });
        if (listed.wait_for(30s) != std::future_status::ready) {
            // Let the reader go, so that the failure ends the test rather than hanging it.
            ::close(::open(pipe.c_str(), O_WRONLY | O_NONBLOCK));
            ADD_FAILURE() << "the driver waits on what it was given";
        }
        EXPECT_EQ(listed.get(), 0);
        EXPECT_NE(driver.K7Open("DEMO"), 0U);
    }
    unsetenv("QVK740RX_SIM");
}

TEST(SimDriverRadios, TheEepromTellsTheExtendedModel) {
    SimFile file(SimFile::radio(0, "1", "K7USB") + SimFile::radio(1, "2", "K7USB", true));
    SimDriverLibrary driver;
    const K7Handle standard = driver.K7Open("1");
    const K7Handle extended = driver.K7Open("2");
    ASSERT_NE(standard, 0U);
    ASSERT_NE(extended, 0U);

    std::array<uint8_t, 256> eeprom{};
    ASSERT_EQ(driver.K7GetEEP(extended, eeprom.data()), 1);
    EXPECT_EQ(eepromU32(eeprom, 72), 225000000U);
    ASSERT_EQ(driver.K7GetEEP(standard, eeprom.data()), 1);
    EXPECT_NE(eepromU32(eeprom, 72), 225000000U);

    // Calibration written to one radio stays in its EEPROM across a close and an open.
    const std::array<uint8_t, 4> calibration = {1, 2, 3, 4};
    EXPECT_EQ(driver.K7WrCalib(standard, calibration.data(), 4), 1);
    EXPECT_EQ(driver.K7WrCalib2(standard, calibration.data(), 2), 1);
    EXPECT_EQ(driver.K7WrCalib(standard, calibration.data(), 1000), 0);
    ASSERT_NE(driver.CloseRadioDevice(standard), 0);
    const K7Handle reopened = driver.K7Open("1");
    ASSERT_EQ(driver.K7GetEEP(reopened, eeprom.data()), 1);
    EXPECT_EQ(eepromU32(eeprom, 128), 0x04030201U);
    EXPECT_EQ(eeprom[193], 2);

    EXPECT_EQ(driver.K7GetEEP(999, eeprom.data()), 0);
}

TEST(SimDriverRadios, UnplugAndReplugAreNoticed) {
    const std::string plugged = SimFile::radio(0, "4711001", "K7USB-A");
    const std::string unplugged = SimFile::radio(0, "4711001", "K7USB-A", false, false);
    SimFile file(plugged);
    SimDriverLibrary driver;
    const K7Handle handle = driver.K7Open("4711001");
    ASSERT_NE(handle, 0U);
    ASSERT_EQ(driver.IsDeviceConnected(handle), 1);

    file.write(unplugged);
    EXPECT_TRUE(PumpUntil([&] { return driver.IsDeviceConnected(handle) == 0; }));
    EXPECT_EQ(driver.SetVolume(handle, 7), 0);
    EXPECT_EQ(driver.K7Open("4711001"), 0U);

    // Plugged back in, the same handle works again.
    file.write(plugged);
    EXPECT_TRUE(PumpUntil([&] { return driver.IsDeviceConnected(handle) == 1; }));
    EXPECT_EQ(driver.SetVolume(handle, 7), 1);
    EXPECT_EQ(driver.GetVolume(handle), 7);

    // A radio that leaves the file altogether is unplugged too.
    file.write("[signals]\n");
    EXPECT_TRUE(PumpUntil([&] { return driver.IsDeviceConnected(handle) == 0; }));
    EXPECT_NE(driver.CloseRadioDevice(handle), 0) << "an unplugged radio still closes";
}

}  // namespace
