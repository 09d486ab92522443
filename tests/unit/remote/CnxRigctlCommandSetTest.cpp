#include "remote/CnxRigctlCommandSet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>

#include "FakeRemoteTarget.h"
#include "TestSupport.h"
#include "core/K740RXExternalMessages.h"
#include "settings/CnxChannelPlan.h"
#include "settings/CnxScanStepper.h"

namespace {

class CommandSet : public testing::Test {
protected:
    CommandSet() { EnsureCoreApp(); }

    // The answer to the line's first command; nothing when the line holds none.
    SnxRigctlOutcome Run(const std::string& line, int slot = 0) {
        CnxRigctlParser parser;
        parser.Feed(line);
        SnxRigctlCommand command;
        if (!parser.Next(command)) {
            return {};
        }
        CnxRigctlCommandSet commands(target_, slot);
        return commands.Execute(command);
    }
    std::string Answer(const std::string& line, int slot = 0) { return Run(line, slot).answer; }
    // The messages the window has taken once everything posted so far has arrived.
    const std::vector<TmyMessage>& Handled() {
        PumpFor(20ms);
        return target_.handled;
    }

    FakeRemoteTarget target_;
};

}  // namespace

TEST_F(CommandSet, ReadingsAnswerInTheStyleAsked) {
    target_.receivers[0].frequency = 162250000;
    const std::pair<const char*, const char*> exchanges[] = {
        {"f", "162250000\n"},
        {"+f", "get_freq:\nFrequency: 162250000\nRPRT 0\n"},
        {";f", "get_freq:;Frequency: 162250000;RPRT 0\n"},
        {"m", "FM\n24000\n"},
        {"+m", "get_mode:\nMode: FM\nPassband: 24000\nRPRT 0\n"},
        {"v", "VFOA\n"},
        {";v", "get_vfo:;VFO: VFOA;RPRT 0\n"},
        {"s", "0\nVFOA\n"},
        {"+s", "get_split_vfo:\nSplit: 0\nTX VFO: VFOA\nRPRT 0\n"},
        {"n", "375000\n"},
        {"+\\get_ts", "get_ts:\nTuning Step: 375000\nRPRT 0\n"},
        {"\\get_powerstat", "1\n"},
        {";\\get_powerstat", "get_powerstat:;Power Status: 1;RPRT 0\n"},
        {"\\chk_vfo", "0\n"},
        {"+\\chk_vfo", "ChkVFO: 0\n"},
        {"q", "RPRT 0\n"}};
    for (const auto& [line, answer] : exchanges) {
        SCOPED_TRACE(line);
        const SnxRigctlOutcome outcome = Run(line);
        EXPECT_EQ(outcome.answer, answer);
        EXPECT_FALSE(outcome.changed);
        EXPECT_EQ(outcome.quit, std::string(line) == "q");
    }
    EXPECT_TRUE(Handled().empty());
}

TEST_F(CommandSet, LevelsAreWholeNumbersOfTheSlotAsked) {
    target_.receivers[0].levelDbm = -60.0;
    target_.receivers[5].levelDbm = -60.6;
    target_.receivers[6].levelDbm = -59.5;
    target_.receivers[7].levelDbm = -130.0;
    EXPECT_EQ(Answer("l STRENGTH"), "12\n");
    EXPECT_EQ(Answer(";\\get_level STRENGTH"), "get_level: STRENGTH;12;RPRT 0\n");
    EXPECT_EQ(Answer("l STRENGTH", 5), "11\n");
    EXPECT_EQ(Answer("l STRENGTH", 6), "13\n");
    EXPECT_EQ(Answer("l STRENGTH", 7), "-58\n");
    target_.receivers[1].levelDbm = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Answer("l STRENGTH", 1), "RPRT -6\n");

    target_.receivers[2].raw = 178;
    target_.receivers[2].attenuator = true;
    EXPECT_EQ(Answer("l RAWSTR", 2), "178\n");
    EXPECT_EQ(Answer("l ATT", 2), "18\n");
    EXPECT_EQ(Answer("l ATT"), "0\n");
    EXPECT_EQ(Answer("l PREAMP"), "10\n");
    target_.receivers[0].amplifier = false;
    EXPECT_EQ(Answer("l PREAMP"), "0\n");
    EXPECT_EQ(Answer("l ?"), "PREAMP ATT RAWSTR STRENGTH \n");
    EXPECT_EQ(Answer("L ?"), "PREAMP ATT \nRPRT 0\n");
}

TEST_F(CommandSet, ChangesGoToTheWindowAsItsExternalMessages) {
    EXPECT_TRUE(Run("F 162250000.6", 3).changed);
    EXPECT_EQ(target_.receivers[3].frequency, 136000000) << "not before the window acts";
    EXPECT_EQ(Answer("+F 150000000"), "set_freq: 150000000\nRPRT 0\n");
    EXPECT_EQ(Answer(";\\set_freq 1e12"), "set_freq: 1e12;RPRT 0\n");
    EXPECT_EQ(Answer("N 25000"), "RPRT 0\n");
    EXPECT_EQ(Run("N 12500", 3).answer, "RPRT 0\n");
    EXPECT_EQ(Answer("+L ATT 18"), "set_level: ATT 18\nRPRT 0\n");
    EXPECT_EQ(Answer("L ATT 0"), "RPRT 0\n");
    EXPECT_EQ(Answer("L PREAMP 10"), "RPRT 0\n");

    std::vector<std::tuple<UINT, WPARAM, LPARAM>> handled;
    for (const TmyMessage& m : Handled()) {  // the amplifier's parameters mean nothing
        const bool bare = m.message == WM_MAIN_SET_RF_AMPLIFIER;
        handled.emplace_back(m.message, bare ? 0 : m.wParam, bare ? 0 : m.lParam);
    }
    EXPECT_EQ(handled, (decltype(handled){{WM_MAIN_FREQUENCY_SET, 3, 162250001},
                                          {WM_MAIN_FREQUENCY_SET, 0, 150000000},
                                          {WM_MAIN_FREQUENCY_SET, 0, 173500000},
                                          {WM_MAIN_SET_SCAN_STEP, 25000, 1},
                                          {WM_MAIN_SET_SCAN_STEP, 12500, 4},
                                          {WM_MAIN_SET_ATTENUATOR, 1, 0},
                                          {WM_MAIN_SET_ATTENUATOR, 0, 0},
                                          {WM_MAIN_SET_RF_AMPLIFIER, 0, 0}}));
    EXPECT_EQ(target_.receivers[3].frequency, 162250001);
    // Each slot's server sets and reads the step of its own receiver's scan.
    EXPECT_EQ(target_.receivers[0].scanStep, 25000);
    EXPECT_EQ(target_.receivers[3].scanStep, 12500);
    EXPECT_EQ(Answer("n"), "25000\n");
    EXPECT_EQ(Run("n", 3).answer, "12500\n");
}

TEST_F(CommandSet, TheAttenuatorOfAnUnselectedSlotIsSetDirectly) {
    target_.selected = 2;
    EXPECT_TRUE(Run("L ATT 18", 4).changed);
    EXPECT_EQ(target_.directAttenuatorCalls, 1);
    EXPECT_TRUE(target_.receivers[4].attenuator);
    EXPECT_FALSE(target_.receivers[2].attenuator);
    EXPECT_EQ(Answer("l ATT", 4), "18\n");

    // The amplifier is always on: asking for it changes nothing, asking it off is refused.
    EXPECT_FALSE(Run("L PREAMP 10", 4).changed);
    EXPECT_EQ(Answer("L PREAMP 0", 4), "RPRT -9\n");
    EXPECT_EQ(Answer("L PREAMP 0", 2), "RPRT -9\n");
    EXPECT_TRUE(Handled().empty());
}

TEST_F(CommandSet, BadRequestsAreRefusedWithoutTouchingTheWindow) {
    const std::pair<const char*, const char*> refusals[] = {
        {"F abc", "RPRT -1\n"},         {"+F abc", "set_freq: abc\nRPRT -1\n"},
        {"F 162250000Hz", "RPRT -1\n"}, {"F nan", "RPRT -1\n"},
        {"F inf", "RPRT -1\n"},         {"V VFOB", "RPRT -1\n"},
        {"l FOO", "RPRT -1\n"},         {";l FOO", "get_level: FOO;RPRT -1\n"},
        {"L STRENGTH 1", "RPRT -1\n"},  {"L ATT -3", "RPRT -1\n"},
        {"M AM 0", "RPRT -1\n"},        {"M FM 15000", "RPRT -1\n"},
        {"N 0", "RPRT -1\n"},           {"N x", "RPRT -1\n"},
        {"K 1 FM 0", "RPRT -11\n"},     {"\\foo", ""},
        {"f\x01", "RPRT -8\n"}};
    for (const auto& [line, answer] : refusals) {
        SCOPED_TRACE(line);
        const SnxRigctlOutcome outcome = Run(line);
        EXPECT_EQ(outcome.answer, answer);
        EXPECT_FALSE(outcome.changed);
    }
    EXPECT_TRUE(Handled().empty());

    // What a one-filter FM receiver can accept.
    for (const char* line : {"V VFOA", "M FM 24000", "M FM -1"}) {
        EXPECT_EQ(Answer(line), "RPRT 0\n") << line;
    }
    EXPECT_EQ(Answer("+M FM 0"), "set_mode: FM 0\nRPRT 0\n");
    EXPECT_EQ(Answer("M ?"), "FM \nRPRT 0\n");
}

// A slot without a receiver, and one whose radio is unplugged or removed, answer as rigctld does
// for a rig that is switched off or gone.
TEST_F(CommandSet, AnEmptySlotOrALostRadioAnswersAsARigThatIsOff) {
    target_.receivers[1].present = false;
    target_.receivers[2].connected = false;
    for (const int slot : {1, 2}) {
        SCOPED_TRACE(slot);
        for (const char* line : {"f", "F 150000000", "m", "M FM 0", "l STRENGTH", "L ATT 18"}) {
            SCOPED_TRACE(line);
            EXPECT_EQ(Answer(line, slot), "RPRT -6\n");
        }
        EXPECT_EQ(Answer("\\get_powerstat", slot), "0\n");
        EXPECT_EQ(Answer("v", slot), "VFOA\n");
        EXPECT_NE(Answer("\\dump_state", slot).find("136000000.000000"), std::string::npos);
    }
    EXPECT_TRUE(Handled().empty());

    // Plugged in again, it answers at once.
    target_.receivers[2].connected = true;
    EXPECT_EQ(Answer("\\get_powerstat", 2), "1\n");
    EXPECT_EQ(Answer("f", 2), "136000000\n");

    target_.windowGone = true;
    EXPECT_EQ(Answer("F 150000000"), "RPRT -7\n");
    EXPECT_TRUE(Handled().empty());
}

// The rule of the window's frequency entry: below the band is refused, above it the top is tuned.
TEST_F(CommandSet, FrequenciesTheEntryRefusesAreRefused) {
    target_.receivers[1].range = {136000000, 225000000};
    const struct {
        const char* line;
        int slot;
        const char* answer;
        LPARAM posted;  // 0: nothing goes to the window
    } cases[] = {
        {"F 0", 0, "RPRT -1\n", 0},
        {"F -5", 0, "RPRT -1\n", 0},
        {"F 135999999", 0, "RPRT -1\n", 0},
        {"+F 135999999.4", 0, "set_freq: 135999999.4\nRPRT -1\n", 0},
        {"F 135999999.5", 0, "RPRT 0\n", 136000000},
        {"F 136000000", 0, "RPRT 0\n", 136000000},
        {"F 173500000", 0, "RPRT 0\n", 173500000},
        {"F 200000000", 1, "RPRT 0\n", 200000000},
        {"F 1e12", 1, "RPRT 0\n", 225000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line + std::string(" on slot ") + std::to_string(c.slot));
        target_.handled.clear();
        const SnxRigctlOutcome outcome = Run(c.line, c.slot);
        EXPECT_EQ(outcome.answer, c.answer);
        EXPECT_EQ(outcome.changed, c.posted != 0);
        const std::vector<TmyMessage>& handled = Handled();
        ASSERT_EQ(handled.size(), c.posted == 0 ? 0u : 1u);
        if (c.posted != 0) {
            EXPECT_EQ(handled.front().message, WM_MAIN_FREQUENCY_SET);
            EXPECT_EQ(handled.front().wParam, WPARAM(c.slot));
            EXPECT_EQ(handled.front().lParam, c.posted);
        }
    }
}

// The bar graph holds a pass of at most kMaxPoints steps: a finer step would make it wrap mid-pass.
TEST_F(CommandSet, AScanStepTooFineForOnePassIsRefused) {
    // The points of a pass over the band, walked as a scan walks it.
    const auto points = [](int64_t step) {
        int64_t count = 0;
        for (int64_t f = CnxChannelPlan::kLowerLimit; f <= CnxChannelPlan::kUpperLimit;
             f = CnxScanStepper::Advance(f, step)) {
            ++count;
        }
        return count;
    };
    int accepted = 0;
    for (const int step : {1, 100, 300, 350, 360, 361, 375, 400, 1000, 375000}) {
        SCOPED_TRACE(step);
        const bool fits = points(step) <= CnxScanStepper::kMaxPoints;
        const SnxRigctlOutcome outcome = Run("N " + std::to_string(step));
        EXPECT_EQ(outcome.answer, fits ? "RPRT 0\n" : "RPRT -1\n");
        EXPECT_EQ(outcome.changed, fits);
        accepted += fits ? 1 : 0;
    }
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 10) << "the steps tried lie on both sides of the limit";
    EXPECT_EQ(Answer("+N 100"), "set_ts: 100\nRPRT -1\n");
    PumpFor(20ms);
    EXPECT_NE(target_.receivers[0].scanStep, 100);
}

// Commands rigctld knows that a receiver does not offer take their arguments and are answered
// under their own names.
TEST_F(CommandSet, CommandsNotOfferedAreAnsweredUnderRigctldsNames) {
    const std::pair<const char*, const char*> exchanges[] = {
        {"+u FAGC", "get_func: FAGC\nRPRT -11\n"},
        {";U FAGC 1", "set_func: FAGC 1;RPRT -11\n"},
        {"+\\get_info", "get_info:\nRPRT -11\n"},
        {"+K 150000000 FM 0", "set_split_freq_mode: 150000000 FM 0\nRPRT -11\n"},
        {"+b cq cq", "send_morse: cq cq\nRPRT -11\n"},
        {"3", "RPRT -11\n"},
        {"\\set_powerstat 0", "RPRT -11\n"}};
    for (const auto& [line, answer] : exchanges) {
        SCOPED_TRACE(line);
        EXPECT_EQ(Answer(line), answer);
    }
    EXPECT_TRUE(Handled().empty());
}

TEST_F(CommandSet, TheRigDescriptionsTellTheSlotsRangeAndLevels) {
    target_.receivers[1].range = {136000000, 225000000};
    target_.receivers[1].passband = 30000;
    const std::string state = Answer("\\dump_state", 1);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = state.find('\n', at)) != std::string::npos; at = end + 1) {
        lines.push_back(state.substr(at, end - at));
    }
    ASSERT_EQ(lines.size(), 22u) << state;
    EXPECT_EQ(lines[3], "136000000.000000 225000000.000000 0x20 -1 -1 0x1 0x0");
    EXPECT_EQ(lines[5], "0 0 0 0 0 0 0") << "no transmit range";
    EXPECT_EQ(lines[8], "0x20 30000") << "the FM filter";
    EXPECT_EQ(lines[14], "10 ") << "RF amplifier in dB";
    EXPECT_EQ(lines[15], "18 ") << "attenuator in dB";
    EXPECT_EQ(lines[18], "0x44000003") << "PREAMP, ATT, RAWSTR and STRENGTH can be read";
    EXPECT_EQ(lines[19], "0x3") << "PREAMP and ATT can be set";

    EXPECT_EQ(Answer("+\\dump_state", 1), "dump_state:\n" + state + "RPRT 0\n");

    const std::string caps = Answer("1", 1);
    ASSERT_TRUE(caps.ends_with("RPRT 0\n"));
    EXPECT_NE(caps.find("Model name:\tK740RX\n"), std::string::npos);
    EXPECT_NE(caps.find("\t136000000 Hz - 225000000 Hz\n"), std::string::npos);
    EXPECT_NE(caps.find("Attenuator: 18dB\n"), std::string::npos);
    EXPECT_NE(caps.find("\t30000 Hz:\tFM \n"), std::string::npos);
    EXPECT_EQ(Answer("+\\dump_caps", 1),
              "dump_caps:\n" + caps.substr(0, caps.size() - 7) + "RPRT 0\n");
}
