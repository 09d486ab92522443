#include "mixer/CmqKnobBoxMapping.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingKnobBoxActions.h"
#include "ScriptedMixer.h"

namespace {

using Requests = std::vector<std::string>;

class CmqKnobBoxMappingTest : public ::testing::Test {
protected:
    // A unit found at start-up whose knob stands at position 3.
    void StartWithUnit() {
        ASSERT_TRUE(mapping.Start());
        mixer.Position(3);
        mixer.TakeCommands();
    }
    void Turn(int counts) {
        const int direction = counts < 0 ? -1 : 1;
        for (int i = 0; i != counts; i += direction) {
            position += direction;
            mixer.Position(position);
        }
    }

    ScriptedMixer mixer;
    RecordingKnobBoxActions actions;
    CmqKnobBoxMapping mapping{mixer, actions};
    int position = 3;
};

TEST_F(CmqKnobBoxMappingTest, EightCountsInChannelModeAreOneChannelStep) {
    StartWithUnit();
    mapping.OnChannelModeChanged(true);
    EXPECT_EQ(mixer.TakeCommands(), std::vector<std::string>{"02!"}) << "the indicator follows";
    Turn(8);
    EXPECT_EQ(actions.Take(), (Requests{"graph 1", "tune 375000"}));
    Turn(-16);
    EXPECT_EQ(actions.Take(), (Requests{"graph -1", "tune -375000", "graph -1", "tune -375000"}));
    Turn(-3);  // -6, -7, -8 all round down to -8, where the knob already stands
    EXPECT_EQ(actions.Take(), Requests{});
}

TEST_F(CmqKnobBoxMappingTest, TenKilohertzStepsAndVolumeFollowTheMode) {
    StartWithUnit();
    mapping.OnChannelModeChanged(false);
    EXPECT_EQ(mixer.TakeCommands(), std::vector<std::string>{"01!"});
    Turn(-8);
    EXPECT_EQ(actions.Take(), (Requests{"graph -1", "tune -10000"}));

    // Mode 4 (the unit's third button): the volume, and the graph stays.
    mixer.Buttons(4, 4);
    actions.Take();
    Turn(16);
    EXPECT_EQ(actions.Take(), (Requests{"volume 1", "volume 1"}));
}

TEST_F(CmqKnobBoxMappingTest, WithoutAReceiverTheKnobOnlyMovesTheGraph) {
    StartWithUnit();
    actions.receiverPresent = false;
    mapping.OnChannelModeChanged(true);
    Turn(8);
    mixer.Buttons(4, 4);
    Turn(8);
    EXPECT_EQ(actions.Take(), (Requests{"graph 1"}));
}

TEST_F(CmqKnobBoxMappingTest, TheUnitsButtonsSetTheWindowsChannelSwitch) {
    StartWithUnit();
    mixer.Buttons(2, 2);
    EXPECT_EQ(actions.Take(), (Requests{"channel steps", "channel steps"}))
        << "the mode change and the switch change each select the step";
    mixer.Buttons(1, 1);
    EXPECT_EQ(actions.Take(), (Requests{"10 kHz steps", "10 kHz steps"}));
    mixer.Buttons(4, 4);
    EXPECT_EQ(actions.Take(), Requests{}) << "the volume mode leaves the step alone";

    // The window moves to channel steps; a press of the unit's 10 kHz button repeats the last
    // switch value the unit reported, and must still bring the window back to 10 kHz.
    mixer.Buttons(1, 1);
    actions.Take();
    mapping.OnChannelModeChanged(true);
    mixer.Buttons(1, 1);
    EXPECT_EQ(actions.Take(), Requests{"10 kHz steps"});
}

TEST_F(CmqKnobBoxMappingTest, LargeTurnsDoNotOverflowTheFrequencyStep) {
    StartWithUnit();
    mapping.OnChannelModeChanged(true);
    // Direct rotation hands on the raw counts: 30000 channel steps lie beyond 32-bit hertz.
    mixer.SetDirectRotation(true);
    mixer.Position(3 + 30000);
    EXPECT_EQ(actions.Take(), (Requests{"graph 30000", "tune 2147483647"}));
}

TEST(CmqKnobBoxMapping, WithoutAUnitNothingChanges) {
    ScriptedMixer absent;
    absent.unitPresent = false;
    RecordingKnobBoxActions actions;
    EXPECT_FALSE(CmqKnobBoxMapping(absent, actions).Start());
    EXPECT_TRUE(absent.commands.empty());
    // The bare model: the driver library's own knob device, absent here.
    CmqVqbMixer bare;
    CmqKnobBoxMapping mapping(bare, actions);
    EXPECT_FALSE(mapping.Start());
    mapping.OnChannelModeChanged(true);
    EXPECT_EQ(bare.GetModeIndicator(), 4) << "commands go nowhere";
    EXPECT_TRUE(actions.requests.empty());
}

TEST(CmqKnobBoxMapping, ReleasingTheMappingUnhooksTheMixer) {
    ScriptedMixer mixer;
    RecordingKnobBoxActions actions;
    {
        CmqKnobBoxMapping mapping(mixer, actions);
        ASSERT_TRUE(mapping.Start());
    }
    mixer.Position(0);
    mixer.Position(80);
    mixer.Buttons(2, 2);
    EXPECT_TRUE(actions.requests.empty());
}

}  // namespace
