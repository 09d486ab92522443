#include "mixer/CmqVqbMixerCom.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "MixerUnitProcess.h"
#include "RecordingKnobBoxActions.h"
#include "TestSupport.h"
#include "mixer/CmqKnobBoxMapping.h"
#include "mixer/CmqSerialPortList.h"

namespace {

using Strings = std::vector<std::string>;

const Strings kOpenSequence{"04!", "64*", ")", "$", "01%"};

class CmqVqbMixerComTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCoreApp(); }
    void TearDown() override { unsetenv(CmqSerialPortList::kVariable); }

    static void ProbeOnly(const Strings& paths) {
        std::string value;
        for (const std::string& path : paths) {
            value += path + ":";
        }
        setenv(CmqSerialPortList::kVariable, value.c_str(), 1);
    }

    LogCapture log{"k740.mixer"};
};

// Records the knob's steps as the mixer raises them.
struct RotateRecorder {
    explicit RotateRecorder(CmqVqbMixer& mixer)
        : subscription(mixer.OnRotate.Set(this, &RotateRecorder::On)) {}
    void On(void*, int value, std::intptr_t) { steps.push_back(value); }
    std::vector<int> steps;
    TmySubscription subscription;
};

TEST_F(CmqVqbMixerComTest, SkipsAPortWithAnotherIdentificationAndOpensTheUnit) {
    MixerUnitProcess modem({"--ident", "Modem 3000 ready"});
    MixerUnitProcess unit({"--ident", "  Quorvant VQB interface 2.1 (bench)"});
    ProbeOnly({modem.Path(), unit.Path()});

    CmqVqbMixerCom mixer;
    ASSERT_EQ(mixer.Open(), 1);
    EXPECT_EQ(mixer.GetPortName(), "COM1");
    EXPECT_EQ(mixer.GetIdentification(), "Quorvant VQB interface 2.1 (bench)")
        << "leading blanks go, and only the first of the repeated lines counts";
    EXPECT_TRUE(log.Contains("incorrect read [16] Modem 3000 ready"));
    EXPECT_TRUE(log.Contains("Found mixer on COM1"));
    ASSERT_TRUE(unit.WaitForReceived(kOpenSequence.size()));
    EXPECT_TRUE(modem.Received().empty()) << "the probe sends nothing";
}

TEST_F(CmqVqbMixerComTest, OpensWithTheSessionCommandsAndClosesWithCrLf) {
    MixerUnitProcess unit;
    ProbeOnly({unit.Path()});
    CmqVqbMixerCom mixer;
    ASSERT_EQ(mixer.Open(), 1);
    EXPECT_EQ(mixer.GetPortName(), "COM0");
    ASSERT_TRUE(unit.WaitForReceived(kOpenSequence.size()));
    EXPECT_EQ(unit.Received(), kOpenSequence);
    EXPECT_TRUE(log.Contains("Set DTR OFF: 0")) << "a pseudo-terminal has no DTR";

    EXPECT_EQ(mixer.Close(), 1);
    EXPECT_FALSE(mixer.IsOpen());
    ASSERT_TRUE(unit.WaitForReceived(kOpenSequence.size() + 1));
    EXPECT_EQ(unit.Received().back(), "\\r\\n");
    EXPECT_TRUE(log.Contains("Close ended"));
    EXPECT_EQ(mixer.Close(), 1) << "closing a closed mixer is harmless";
    EXPECT_EQ(unit.Received().size(), kOpenSequence.size() + 1);
}

TEST_F(CmqVqbMixerComTest, TheBacklightModeIsEnteredFromTheUnit) {
    MixerUnitProcess unit;
    ProbeOnly({unit.Path()});
    CmqVqbMixerCom mixer;
    ASSERT_EQ(mixer.Open(), 1);
    RotateRecorder rotations(mixer);
    unit.Do("press 6");
    unit.Do("turn +2");  // direct rotation after Open: one step per count
    ASSERT_TRUE(PumpUntil([&] { return mixer.GetBacklight() == 102; }));
    ASSERT_TRUE(unit.WaitForReceived(kOpenSequence.size() + 3));
    EXPECT_EQ(unit.Received(), (Strings{"04!", "64*", ")", "$", "01%", "06!", "65*", "66*"}));
    EXPECT_TRUE(rotations.steps.empty());
}

TEST_F(CmqVqbMixerComTest, GarbageIsLoggedAndDroppedAndTheKnobGoesOn) {
    MixerUnitProcess unit;
    ProbeOnly({unit.Path()});
    CmqVqbMixerCom mixer;
    ASSERT_EQ(mixer.Open(), 1);
    // Scaled by 1: a count is a step, and reports that do not move the knob raise nothing.
    mixer.SetDirectRotation(false);
    mixer.SetRotateConstant(1, 1);
    RotateRecorder rotations(mixer);
    unit.Do("send ~\\x01#^");
    // A long run of noise and an endless-looking run of report starts, then a real turn.
    unit.Do("send " + std::string(20000, 'z'));
    unit.Do("send " + std::string(3000, '%'));
    unit.Do("send \\r\\n");
    unit.Do("turn +1");
    ASSERT_TRUE(PumpUntil([&] { return !rotations.steps.empty(); }));
    EXPECT_EQ(rotations.steps, std::vector<int>{1});
    EXPECT_TRUE(log.Contains("COM purging [7e] ~"));
    EXPECT_TRUE(log.Contains("COM purging [1] \x01"));
    EXPECT_EQ(log.CountStartingWith("COM purging [7a] z"), 20000u);
    EXPECT_TRUE(mixer.IsOpen());
}

TEST_F(CmqVqbMixerComTest, AUnitThatVanishesIsClosed) {
    MixerUnitProcess unit;
    ProbeOnly({unit.Path()});
    CmqVqbMixerCom mixer;
    RecordingKnobBoxActions actions;
    CmqKnobBoxMapping mapping(mixer, actions);
    ASSERT_TRUE(mapping.Start());
    ASSERT_TRUE(unit.WaitForReceived(kOpenSequence.size()));
    unit.Kill();
    ASSERT_TRUE(PumpUntil([&] { return !mixer.IsOpen(); }));
    EXPECT_TRUE(log.Contains("COM port lost"));
    // Commands now go nowhere, and nothing reaches the window.
    mapping.OnChannelModeChanged(true);
    EXPECT_EQ(mixer.GetModeIndicator(), 4);
    EXPECT_TRUE(actions.requests.empty());
    EXPECT_EQ(mixer.Open(), 0) << "the port is gone";
}

TEST_F(CmqVqbMixerComTest, SilentAndMissingPortsFindNoUnit) {
    MixerUnitProcess silent({"--ident", ""});
    ProbeOnly({"/dev/k740rx-no-such-port", silent.Path()});
    CmqVqbMixerCom mixer;
    EXPECT_EQ(mixer.Open(), 0);
    EXPECT_EQ(mixer.GetPortName(), "");
    EXPECT_TRUE(log.Contains("Trying port /dev/k740rx-no-such-port"));
    EXPECT_TRUE(log.Contains("incorrect read [0] "));
    EXPECT_TRUE(silent.Received().empty());
}

}  // namespace
