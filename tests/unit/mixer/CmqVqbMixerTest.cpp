#include "mixer/CmqVqbMixer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ScriptedMixer.h"

namespace {

using Strings = std::vector<std::string>;

// Records what the mixer raises, in order.
class EventLog {
public:
    explicit EventLog(CmqVqbMixer& mixer) {
        subscriptions_.push_back(mixer.OnRotate.Set(this, &EventLog::Rotate));
        subscriptions_.push_back(mixer.OnButtonMode.Set(this, &EventLog::ButtonMode));
        subscriptions_.push_back(mixer.OnSwitch.Set(this, &EventLog::Switch));
        subscriptions_.push_back(mixer.OnRaw.Set(this, &EventLog::Raw));
    }
    Strings Take() { return std::exchange(events_, {}); }
    Strings TakeExceptRaw() {
        Strings kept = Take();
        std::erase_if(kept, [](const std::string& e) { return e.starts_with("raw"); });
        return kept;
    }

private:
    void Rotate(void*, int steps, std::intptr_t) { Add("rotate " + std::to_string(steps)); }
    void ButtonMode(void*, int mode, std::intptr_t) { Add("mode " + std::to_string(mode)); }
    void Switch(void*, int value, std::intptr_t) { Add("switch " + std::to_string(value)); }
    void Raw(void*, SmqMixerRaw raw, std::intptr_t) {
        Add("raw " + std::to_string(raw.position) + " " + std::to_string(raw.buttons) + " " +
            std::to_string(raw.switchValue));
    }
    void Add(std::string event) { events_.push_back(std::move(event)); }
    Strings events_;
    TmySubscriptions subscriptions_;
};

// An open unit whose knob stands at `reference`, scaling by `constant` in every mode.
void OpenWithKnobAt(ScriptedMixer& mixer, int reference, int constant) {
    ASSERT_EQ(mixer.Open(), 1);
    mixer.SetDirectRotation(false);
    mixer.SetRotateConstant(constant, constant);
    mixer.Position(reference);
    mixer.TakeCommands();
}

TEST(CmqVqbMixer, OpenPutsTheUnitIntoAKnownStateInOrder) {
    ScriptedMixer mixer;
    ASSERT_EQ(mixer.Open(), 1);
    EXPECT_EQ(mixer.TakeCommands(), (Strings{"04!", "64*", ")", "$", "01%"}));

    // A second session sends everything again, even values the unit showed before.
    ASSERT_EQ(mixer.Open(), 1);
    EXPECT_EQ(mixer.TakeCommands(), (Strings{"04!", "64*", ")", "$", "01%"}));

    // The indicator command carries the button mode the window chose meanwhile.
    mixer.SetButtonMode(2);
    mixer.TakeCommands();
    ASSERT_EQ(mixer.Open(), 1);
    EXPECT_EQ(mixer.TakeCommands().front(), "02!");
}

TEST(CmqVqbMixer, SetModeSendsHexOnlyForChangesUnlessForcedOrTheButtonModeChanged) {
    ScriptedMixer mixer;
    mixer.SetMode(4, false);
    EXPECT_TRUE(mixer.TakeCommands().empty()) << "the indicator shows 4 from the start";
    mixer.SetMode(2, false);
    mixer.SetMode(2, false);
    mixer.SetMode(2, true);
    EXPECT_EQ(mixer.TakeCommands(), (Strings{"02!", "02!"}));
    mixer.SetMode(0x1F, true);
    mixer.SetMode(0x123, true);
    mixer.SetBacklight(10);
    EXPECT_EQ(mixer.TakeCommands(), (Strings{"1F!", "123!", "0A*"}));

    mixer.SetMode(1, false);  // the indicator already shows 1 ...
    mixer.TakeCommands();
    mixer.SetButtonMode(1);  // ... and the changed button mode still sends it
    EXPECT_EQ(mixer.TakeCommands(), Strings{"01!"});
    mixer.SetButtonMode(1);
    EXPECT_TRUE(mixer.TakeCommands().empty()) << "an unchanged button mode sends nothing";
    mixer.SetButtonMode(0);
    EXPECT_EQ(mixer.GetButtonMode(), 4) << "mode 0 stands for 4";
    EXPECT_EQ(mixer.TakeCommands(), Strings{"04!"});
}

TEST(CmqVqbMixer, BacklightIsClampedAndKeptOnlyWhenTheUnitTookIt) {
    ScriptedMixer mixer;
    mixer.SetBacklight(200);
    EXPECT_EQ(mixer.TakeCommands(), Strings{"7F*"});
    EXPECT_EQ(mixer.GetBacklight(), 127);
    mixer.SetBacklight(127);
    EXPECT_TRUE(mixer.TakeCommands().empty()) << "the clamped level equals the current one";
    mixer.SetBacklight(-5);
    EXPECT_EQ(mixer.TakeCommands(), Strings{"00*"});
    EXPECT_EQ(mixer.GetBacklight(), 0);

    // An absent unit takes nothing: the stored values stay as they were.
    mixer.unitTakesCommands = false;
    mixer.SetBacklight(50);
    mixer.SetMode(2, false);
    EXPECT_EQ(mixer.GetBacklight(), 0);
    EXPECT_EQ(mixer.GetModeIndicator(), 4);
    EXPECT_EQ(mixer.TakeCommands(), (Strings{"32*", "02!"}));
}

TEST(CmqVqbMixer, FirstPositionAfterOpenIsTheReferenceAndModeFourScalesByTheSecondConstant) {
    ScriptedMixer mixer;
    EventLog events(mixer);
    ASSERT_EQ(mixer.Open(), 1);
    mixer.Position(100);
    EXPECT_TRUE(events.Take().empty());
    mixer.Position(103);
    EXPECT_EQ(events.Take(), (Strings{"raw 103 0 0", "rotate 3"}))
        << "Open sets direct rotation: raw differences";

    // Scaled, button mode 4 (the start) divides by the second constant.
    mixer.SetDirectRotation(false);
    mixer.SetRotateConstant(8, 2);
    mixer.Position(0);
    events.Take();
    mixer.Position(8);  // 0 -> 8 counts, 4 steps
    EXPECT_EQ(events.TakeExceptRaw(), Strings{"rotate 4"});
    mixer.SetButtonMode(1);
    mixer.Position(16);
    EXPECT_EQ(events.TakeExceptRaw(), Strings{"rotate 1"});
    // -1 leaves the second constant as it is.
    mixer.SetRotateConstant(4, -1);
    mixer.SetButtonMode(4);
    mixer.Position(20);
    EXPECT_EQ(events.TakeExceptRaw(), Strings{"rotate 2"});
}

TEST(CmqVqbMixer, ScaledRotationCountsWholeMultiplesOfTheConstantAcrossTheWrap) {
    const struct {
        int reference;
        std::vector<int> positions;
        Strings rotations;
    } cases[] = {
        // 0 -> 16, 16 -> 16, then 16 -> 24: the reference moved on to 23, not stuck at 20.
        {5, {20, 23, 24, 7}, {"rotate 2", "rotate 1", "rotate -3"}},
        // Small turns leave no step but move the reference: one multiple of eight crossed.
        {5, {7, 8, 9, 10, 11, 12, 13, 14, 15}, {"rotate 1"}},
        // The counter wraps around, both ways.
        {65535, {3, 65528}, {"rotate 1", "rotate -1"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reference);
        ScriptedMixer mixer;
        EventLog events(mixer);
        OpenWithKnobAt(mixer, c.reference, 8);
        for (int position : c.positions) {
            mixer.Position(position);
        }
        EXPECT_EQ(events.TakeExceptRaw(), c.rotations);
    }
}

TEST(CmqVqbMixer, ButtonsSetTheModeAndTheSwitch) {
    ScriptedMixer mixer;
    EventLog events(mixer);
    OpenWithKnobAt(mixer, 40, 8);
    mixer.Buttons(2, 2);
    EXPECT_EQ(events.Take(), (Strings{"raw 40 2 2", "mode 2", "switch 2"}))
        << "a button report carries the reference: no rotation";
    EXPECT_TRUE(mixer.TakeCommands().empty()) << "the unit sets its own indicator";

    mixer.Buttons(2, 2);
    EXPECT_EQ(events.TakeExceptRaw(), Strings{}) << "nothing changed";
    // Bit 0 wins over the others; no bits keep the mode.
    mixer.Buttons(7, 1);
    EXPECT_EQ(events.TakeExceptRaw(), (Strings{"mode 1", "switch 1"}));
    mixer.Buttons(0, 3);
    EXPECT_EQ(events.TakeExceptRaw(), Strings{"switch 3"});
    EXPECT_EQ(mixer.GetButtonMode(), 1);
    // A position report leaves the switch alone.
    mixer.Position(48);
    EXPECT_EQ(events.Take(), (Strings{"raw 48 0 3", "rotate 1"}));
}

TEST(CmqVqbMixer, InModeSixTheKnobMovesTheBacklightAndLeavingRaisesNoEvents) {
    ScriptedMixer mixer;
    EventLog events(mixer);
    OpenWithKnobAt(mixer, 0, 8);
    mixer.Buttons(0, 6);
    EXPECT_EQ(mixer.TakeCommands(), Strings{"06!"});
    EXPECT_TRUE(events.Take().empty());
    mixer.Position(24);
    EXPECT_EQ(events.TakeExceptRaw(), Strings{}) << "no OnRotate in mode 6";
    EXPECT_EQ(mixer.GetBacklight(), 103);
    EXPECT_EQ(mixer.TakeCommands(), Strings{"67*"});
    mixer.Position(24 + 8 * 40);
    EXPECT_EQ(mixer.GetBacklight(), 127);
    EXPECT_EQ(mixer.TakeCommands(), Strings{"7F*"});
    events.Take();

    // Leaving with 4, or with 0 (which stands for 4), or with another mode.
    mixer.Buttons(4, 4);
    EXPECT_EQ(mixer.TakeCommands(), Strings{"04!"});
    mixer.Buttons(0, 6);
    mixer.Buttons(0, 0);
    EXPECT_EQ(mixer.TakeCommands(), (Strings{"06!", "04!"}));
    mixer.Buttons(0, 6);
    mixer.Buttons(2, 2);
    EXPECT_EQ(mixer.GetButtonMode(), 2);
    EXPECT_EQ(mixer.TakeCommands(), (Strings{"06!", "02!"}));
    EXPECT_TRUE(events.Take().empty());
}

}  // namespace
