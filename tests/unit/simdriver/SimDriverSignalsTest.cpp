#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "SimDriverLibrary.h"
#include "SimFile.h"

namespace {

constexpr int32_t kSignalHz = 142750000;
constexpr int32_t kQuietHz = 150000000;

// The raw reading that belongs to a level: -130 dBm is 0, -30 dBm is 255.
int expectedRaw(int32_t tenthsDbm) {
    return static_cast<int>(std::lround((tenthsDbm / 10.0 + 130.0) * 255.0 / 100.0));
}

struct Pipelined {
    int32_t level = 0;
    uint8_t raw = 0;
    int32_t rssi = -1;
    int32_t agc = -1;
};

Pipelined readPipelined(SimDriverLibrary& driver, K7Handle handle) {
    Pipelined reading;
    EXPECT_EQ(
        driver.K7GetSSPipelined(handle, &reading.level, &reading.raw, &reading.rssi, &reading.agc),
        1);
    return reading;
}

class SimDriverSignals : public ::testing::Test {
protected:
    SimFile file{SimFile::radio(0, "4711001", "K7USB-A") +
                 "[signals]\n142750000 = -62\n# a weaker one\n160000000 = -95.5\n"};
    SimDriverLibrary driver;
    K7Handle handle = driver.K7Open("4711001");
};

TEST_F(SimDriverSignals, ASignalStandsAboveTheNoiseFloor) {
    ASSERT_NE(handle, 0U);
    // Fading and noise move the level by a few dB; the bounds allow for that.
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(driver.SetFrequency(handle, kSignalHz), 1);
        const int32_t signal = driver.GetSignalStrengthdBm(handle);
        EXPECT_NEAR(signal, -620, 60);
        EXPECT_EQ(driver.GetLastSSdBm(handle), signal);
        EXPECT_NEAR(driver.GetLastRawSS(handle), expectedRaw(signal), 1);
        EXPECT_GT(driver.K7GetInternalRSSI(handle), 0);

        const int32_t raw = driver.GetRawSignalStrength(handle);
        EXPECT_NEAR(raw, expectedRaw(-620), 16);
        EXPECT_EQ(driver.GetLastRawSS(handle), raw);

        // 10 kHz off the signal it is weaker but still there.
        ASSERT_EQ(driver.SetFrequency(handle, kSignalHz + 10000), 1);
        EXPECT_NEAR(driver.GetSignalStrengthdBm(handle), -775, 124);

        ASSERT_EQ(driver.SetAtten(handle, 1), 1);
        ASSERT_EQ(driver.SetFrequency(handle, kSignalHz), 1);
        EXPECT_NEAR(driver.GetSignalStrengthdBm(handle), -800, 60);
        ASSERT_EQ(driver.SetAtten(handle, 0), 1);

        ASSERT_EQ(driver.SetFrequency(handle, kQuietHz), 1);
        EXPECT_NEAR(driver.GetSignalStrengthdBm(handle), -1100, 25);
    }
    // Switched off, the receiver hears nothing.
    ASSERT_EQ(driver.SetPower(handle, 0), 1);
    ASSERT_EQ(driver.SetFrequency(handle, kSignalHz), 1);
    EXPECT_EQ(driver.GetRawSignalStrength(handle), 0);
}

TEST_F(SimDriverSignals, PipelinedReadsReturnWhereTheRadioStoodBeforeTheLastTune) {
    ASSERT_NE(handle, 0U);
    ASSERT_EQ(driver.K7SetFreqPipelined(handle, 136000000, 1, 0), 1);
    EXPECT_EQ(driver.K7GetSSPipelined(handle, nullptr, nullptr, nullptr, nullptr), 0)
        << "first of a pass: nothing measured yet";
    ASSERT_EQ(driver.K7SetFreqPipelined(handle, kSignalHz, 0, 0), 1);
    EXPECT_LT(readPipelined(driver, handle).level, -1050) << "136 MHz is quiet";
    ASSERT_EQ(driver.K7SetFreqPipelined(handle, kSignalHz + 375000, 0, 0), 1);
    const Pipelined signal = readPipelined(driver, handle);
    EXPECT_GT(signal.level, -700) << "the sonobuoy shows up one call later";
    EXPECT_NEAR(signal.raw, expectedRaw(signal.level), 1);
    EXPECT_TRUE(signal.rssi >= 0 && signal.agc >= 0);
    EXPECT_EQ(driver.GetLastSSdBm(handle), signal.level);
    EXPECT_EQ(driver.GetFrequency(handle), kSignalHz + 375000) << "the radio is tuned there";

    // A read hands the pending reading out once; a discarding read (no outputs) consumes it too.
    Pipelined untouched;
    EXPECT_EQ(driver.K7GetSSPipelined(handle, &untouched.level, &untouched.raw, nullptr, nullptr),
              0);
    EXPECT_EQ(untouched.level, 0) << "no reading leaves the outputs alone";
    ASSERT_EQ(driver.K7SetFreqPipelined(handle, kQuietHz, 0, 0), 1);
    EXPECT_EQ(driver.K7GetSSPipelined(handle, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(driver.K7GetSSPipelined(handle, nullptr, nullptr, nullptr, nullptr), 0);

    // The reading belongs to where the radio was actually tuned, also by a plain tune in between.
    ASSERT_EQ(driver.SetFrequency(handle, kSignalHz), 1);
    ASSERT_EQ(driver.K7SetFreqPipelined(handle, kQuietHz, 0, 0), 1);
    EXPECT_GT(readPipelined(driver, handle).level, -700);
    ASSERT_EQ(driver.SetFrequency(handle, kQuietHz), 1);
    ASSERT_EQ(driver.K7SetFreqPipelined(handle, kSignalHz, 0, 0), 1);
    EXPECT_LT(readPipelined(driver, handle).level, -1050);

    // A new pass throws the pending reading away, even when it was on the signal.
    ASSERT_EQ(driver.K7SetFreqPipelined(handle, kQuietHz, 1, 0), 1);
    EXPECT_EQ(driver.K7GetSSPipelined(handle, nullptr, nullptr, nullptr, nullptr), 0);

    EXPECT_EQ(driver.K7SetFreqPipelined(999, kSignalHz, 1, 0), 0);
    EXPECT_EQ(driver.K7SetFreqPipelined(handle, -5, 1, 0), 0);
}

TEST_F(SimDriverSignals, SettlingCostsRealTime) {
    ASSERT_NE(handle, 0U);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(driver.K7SetFreqPipelined(handle, kSignalHz, 1, 300), 1);  // 300 × 100 µs
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
    EXPECT_EQ(driver.K7SetFreqPipelined(handle, kSignalHz, 1, -7), 1)
        << "a negative settle waits not";
}

double UnixNow() {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// One sonobuoy on for a moment soon, one on for the first half of every second: each is heard
// only while it is on, at its steady level.
TEST(SimDriverSchedule, AScheduledSonobuoyIsHeardOnlyWhileItIsOnAtASteadyLevel) {
    const double on = UnixNow() + 0.4;
    const std::string schedule = "[schedule]\n142750000 = -60, " + std::to_string(on) + ", " +
                                 std::to_string(on + 0.6) + "\n160000000 = -70, 0, 0.5, 1\n";
    SimFile file(SimFile::radio(0, "4711001", "K7USB-A") + schedule);
    SimDriverLibrary driver;
    const K7Handle handle = driver.K7Open("4711001");
    ASSERT_NE(handle, 0U);
    ASSERT_EQ(driver.SetFrequency(handle, kSignalHz), 1);
    EXPECT_LT(driver.GetSignalStrengthdBm(handle), -1050) << "not on yet";

    std::vector<int32_t> heard;
    while (UnixNow() < on + 0.9) {
        const double now = UnixNow();
        const int32_t level = driver.GetSignalStrengthdBm(handle);
        if (now >= on + 0.05 && now < on + 0.55) {
            heard.push_back(level);
        } else if (now < on - 0.05 || now >= on + 0.65) {
            EXPECT_LT(level, -1050) << "off at " << now - on << " s";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GT(heard.size(), 10U);
    for (const int32_t level : heard) {
        // No fading: the noise of half a dB and the rounding to tenths only.
        EXPECT_NEAR(level, -600, 6);
    }

    // The periodic one: on in the first half of each second.
    ASSERT_EQ(driver.SetFrequency(handle, 160000000), 1);
    int onReadings = 0;
    int offReadings = 0;
    for (int i = 0; i < 60; ++i) {
        const double phase = std::fmod(UnixNow(), 1.0);
        const int32_t level = driver.GetSignalStrengthdBm(handle);
        if (phase > 0.02 && phase < 0.48) {
            EXPECT_NEAR(level, -700, 6) << phase;
            ++onReadings;
        } else if (phase > 0.52 && phase < 0.98) {
            EXPECT_LT(level, -1050) << phase;
            ++offReadings;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(23));
    }
    EXPECT_GT(onReadings, 10);
    EXPECT_GT(offReadings, 10);
}

TEST(SimDriverDemoSignals, TheDemoRadioHearsThreeSonobuoys) {
    unsetenv("QVK740RX_SIM");
    SimDriverLibrary driver;
    const K7Handle handle = driver.K7Open("DEMO");
    ASSERT_NE(handle, 0U);
    for (const int32_t hertz : {162250000, 142750000, 154000000}) {
        ASSERT_EQ(driver.SetFrequency(handle, hertz), 1);
        EXPECT_GT(driver.GetSignalStrengthdBm(handle), -880) << hertz;
    }
    ASSERT_EQ(driver.SetFrequency(handle, kQuietHz), 1);
    EXPECT_LT(driver.GetSignalStrengthdBm(handle), -1050);
}

}  // namespace
