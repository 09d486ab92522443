#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <functional>

#include "SimDriverLibrary.h"

namespace {

struct SettingCase {
    const char* name;
    std::function<int32_t(K7Handle, int32_t)> set;
    std::function<int32_t(K7Handle)> get;
    int32_t value;
};

std::vector<SettingCase> settingCases(SimDriverLibrary& d) {
    return {
        {"frequency", d.SetFrequency, d.GetFrequency, 162250000},
        {"IF2", d.SetIF2Frequency, d.GetIF2Frequency, 12000},
        {"attenuator", d.SetAtten, d.GetAtten, 1},
        {"amplifier", d.SetRFAmp, d.GetRFAmp, 1},
        {"power", d.SetPower, d.GetPower, 0},
        {"reference clock", d.K7SetRefClock, d.K7GetRefClock, 12800000},
        {"LED pattern", d.SetLEDFlashPattern, d.GetLEDFlashPattern, 95},
        {"audio bandwidth", d.SetAudioBandwidth, d.GetAudioBandwidth, 12000},
        {"volume", d.SetVolume, d.GetVolume, 15},
        {"audio gain", d.SetAudioGain, d.GetAudioGain, 9},
        {"mode", d.SetMode, d.GetMode, 2},
        {"FMW", d.SetFMW, d.GetFMW, 5},
        {"advanced mode", d.SetAdvancedMode, d.GetAdvancedMode, 1},
        {"PLL speed", d.SetPllSpeed, d.GetPllSpeed, 3},
    };
}

TEST(SimDriverSettings, GettersReturnWhatWasSet) {
    unsetenv("QVK740RX_SIM");
    SimDriverLibrary driver;
    const K7Handle handle = driver.K7Open("DEMO");
    const K7Handle other = driver.K7Open("DEMO");
    ASSERT_NE(handle, 0U);
    for (const SettingCase& setting : settingCases(driver)) {
        const int32_t before = setting.get(other);
        EXPECT_NE(setting.set(handle, setting.value), 0) << setting.name;
        EXPECT_EQ(setting.get(handle), setting.value) << setting.name;
        EXPECT_EQ(setting.get(other), before) << setting.name << " is per handle";
        EXPECT_EQ(setting.set(999, setting.value), 0) << setting.name;
        EXPECT_EQ(setting.get(999), 0) << setting.name;
    }

    EXPECT_EQ(driver.SetFrequency(handle, 0), 0) << "no tuning to 0 Hz";
    EXPECT_EQ(driver.GetFrequency(handle), 162250000);
    EXPECT_EQ(driver.SetFreqAsync(handle, 142750000), 1);
    EXPECT_EQ(driver.WaitFreqAsync(handle), 1);
    EXPECT_EQ(driver.K7IsBusy(handle), 0);
    EXPECT_EQ(driver.GetFrequency(handle), 142750000);

    EXPECT_EQ(driver.SetFilterValue(handle, 3, 4711), 1);
    EXPECT_EQ(driver.GetFilterValue(handle, 3), 4711);
    EXPECT_EQ(driver.SetFilterValue(handle, 1000, 1), 0);
    EXPECT_EQ(driver.GetFilterValue(handle, -1), 0);

    EXPECT_EQ(driver.InitializeDemodulator(handle, 0), 1);
    EXPECT_EQ(driver.GetPath2(handle), 2);
    EXPECT_EQ(driver.UninitializeDemodulator(handle), 1);
    EXPECT_EQ(driver.GetPath2(handle), 1);
}

TEST(SimDriverSettings, TablesReadBackWhatWasWrittenAndTextsFitTheCallersBuffer) {
    unsetenv("QVK740RX_SIM");
    SimDriverLibrary driver;
    const K7Handle handle = driver.K7Open("DEMO");
    const std::array<int32_t, 3> bands = {136000000, 161125000, 173500000};
    std::array<int32_t, 8> read{};
    ASSERT_EQ(driver.WriteBands(handle, bands.data(), 3), 1);
    EXPECT_EQ(driver.ReadBands(handle, read.data(), 8), 3);
    EXPECT_EQ(read[1], 161125000);
    EXPECT_EQ(driver.ReadBands(handle, read.data(), 2), 2) << "only what fits";

    const std::array<int32_t, 2> filters = {8000, 16000};
    ASSERT_EQ(driver.SetFilterTbl(handle, filters.data(), 2), 1);
    EXPECT_EQ(driver.GetFilterTbl(handle, read.data(), 8), 2);
    EXPECT_EQ(read[1], 16000);

    EXPECT_EQ(driver.WriteBands(handle, nullptr, 3), 0);
    EXPECT_EQ(driver.WriteBands(handle, bands.data(), 100000), 0);
    EXPECT_EQ(driver.GetFilterTbl(999, read.data(), 8), 0);

    std::array<char, 8> text;
    text.fill('x');
    EXPECT_EQ(driver.K7GetInfo(handle, text.data(), 4), 1);
    EXPECT_EQ(text[3], '\0');
    EXPECT_EQ(text[4], 'x');
    EXPECT_EQ(driver.K7GetDebug(handle, text.data(), 8), 1);
    EXPECT_EQ(text[7], '\0');
    EXPECT_EQ(driver.K7GetDebug(handle, text.data(), 0), 0);
    EXPECT_EQ(driver.K7GetInfo(999, text.data(), 8), 0);
}

}  // namespace
