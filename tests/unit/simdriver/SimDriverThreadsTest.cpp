#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "SimDriverLibrary.h"
#include "SimFile.h"

namespace {

void ignoreChunk(void*, const void*, uint32_t, uint32_t) {}

// One thread scans and meters as the processing thread does, the other works the settings, the
// list, other handles and the stream as the window thread does; every call on the shared radio
// must succeed, whatever the other thread is doing.
TEST(SimDriverThreads, TwoThreadsCallingAtOnce) {
    SimFile file(SimFile::radio(0, "4711001", "K7USB-A") + "[signals]\n142750000 = -62\n");
    SimDriverLibrary driver;
    const K7Handle radio = driver.K7Open("4711001");
    ASSERT_NE(radio, 0U);
    constexpr int kRounds = 2000;
    std::atomic<int> failures = 0;
    const auto check = [&](bool ok) { failures += ok ? 0 : 1; };

    std::thread scanner([&] {
        for (int i = 0; i < kRounds; ++i) {
            check(
                driver.K7SetFreqPipelined(radio, 136000000 + (i % 100) * 375000, i % 100 == 0, 0));
            int32_t level = 0;
            uint8_t raw = 0;
            // The first tune of a pass leaves nothing to read.
            check(driver.K7GetSSPipelined(radio, &level, &raw, nullptr, nullptr) == (i % 100 != 0));
            check(driver.IsDeviceConnected(radio) == 1);
            check(driver.GetSignalStrengthdBm(radio) < 0);
        }
    });
    std::thread window([&] {
        std::array<RadioInfo, 10> list{};
        std::array<uint8_t, 256> eeprom{};
        for (int i = 0; i < kRounds; ++i) {
            check(driver.SetAtten(radio, i % 2) == 1);
            check(driver.SetVolume(radio, i % 16) == 1);
            check(driver.K7GetRadioList3(list.data(), sizeof(list), nullptr) == 1);
            check(driver.K7GetEEP(radio, eeprom.data()) == 1);
            const K7Handle demo = driver.K7Open("DEMO");
            check(demo != 0 && driver.SetFrequency(demo, 162250000) == 1);
            check(driver.CloseRadioDevice(demo) != 0);
            if (i % 200 == 0) {
                check(driver.SetupStreams(radio, 0, 0, &ignoreChunk, nullptr) != 0);
            } else if (i % 200 == 100) {
                check(driver.SetupStreams(radio, 0, 0, nullptr, nullptr) == 0);
            }
            // Nonsense arguments are refused, never fatal.
            check(driver.K7GetSSPipelined(0, nullptr, nullptr, nullptr, nullptr) == 0);
            check(driver.K7GetEEP(radio, nullptr) == 0);
        }
        driver.SetupStreams(radio, 0, 0, nullptr, nullptr);
    });
    scanner.join();
    window.join();
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
