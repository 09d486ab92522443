#include "app/CnxCtrlFrequencyBand.h"

#include <gtest/gtest.h>

#include <QString>
#include <filesystem>
#include <fstream>
#include <random>

#include "GuiTestSupport.h"

namespace fs = std::filesystem;

namespace {

class CnxCtrlFrequencyBandDisplay : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        std::random_device random;
        dir_ = fs::temp_directory_path() / ("k740-banddisplay-" + std::to_string(random()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& content) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    fs::path dir_;
};

const QString kNoFile = QString::fromLatin1(CnxCtrlFrequencyBand::kNoBandFileText);

}  // namespace

TEST_F(CnxCtrlFrequencyBandDisplay, ShowsTheFirstBandHoldingTheFrequency) {
    const std::string path = Write("Channels.csv", "140,150,Mid\n136,174,\"Sonobuoy, all\"\n");
    CnxCtrlFrequencyBand display(path);
    EXPECT_EQ(display.GetBandName(), kNoFile);  // until the first frequency arrives
    display.SetFrequency(150000000);
    EXPECT_EQ(display.GetBandName(), "Mid");
    display.SetFrequency(150000001);
    EXPECT_EQ(display.GetBandName(), "Sonobuoy, all");
    display.SetFrequency(200000000);
    EXPECT_EQ(display.GetBandName(), " ");
    EXPECT_EQ(display.GetFrequency(), 200000000);
}

TEST_F(CnxCtrlFrequencyBandDisplay, MissingFileShowsTheNoteUntilAFrequencyIsShown) {
    CnxCtrlFrequencyBand display((dir_ / "absent.csv").string());
    EXPECT_EQ(display.GetBandName(), kNoFile);
    EXPECT_TRUE(display.GetBands().IsEmpty());
    display.SetFrequency(162250000);
    EXPECT_EQ(display.GetBandName(), " ");

    // Nothing was loaded, so a new path is only remembered.
    const std::string other = Write("other.csv", "160,170,High\n");
    display.SetPath(other);
    EXPECT_EQ(display.GetPath(), other);
    EXPECT_TRUE(display.GetBands().IsEmpty());
}

TEST_F(CnxCtrlFrequencyBandDisplay, NewPathReloadsAndRefreshesTheName) {
    const std::string first = Write("first.csv", "160,170,First\n");
    const std::string second = Write("second.csv", "160,170,Second\n");
    CnxCtrlFrequencyBand display(first);
    display.SetFrequency(165000000);
    EXPECT_EQ(display.GetBandName(), "First");

    display.SetPath(first);  // same path: the file is not read again
    Write("first.csv", "160,170,Edited\n");
    display.SetFrequency(165000000);
    EXPECT_EQ(display.GetBandName(), "First");

    display.SetPath(second);
    EXPECT_EQ(display.GetBandName(), "Second");
    EXPECT_EQ(display.GetBands().GetCount(), 1u);
}

TEST_F(CnxCtrlFrequencyBandDisplay, ChannelTextAndIndicator) {
    CnxCtrlFrequencyBand display((dir_ / "absent.csv").string());
    EXPECT_FALSE(display.IsOnChannel());
    display.SetChannelText("Channel  1");
    display.SetOnChannel(true);
    EXPECT_EQ(display.GetChannelText(), "Channel  1");
    EXPECT_TRUE(display.IsOnChannel());
    display.SetChannelText("Channel Undefined");
    display.SetOnChannel(false);
    EXPECT_EQ(display.GetChannelText(), "Channel Undefined");
    EXPECT_FALSE(display.IsOnChannel());
}
