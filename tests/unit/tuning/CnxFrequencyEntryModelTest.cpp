#include "tuning/CnxFrequencyEntryModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int32_t kLower = 136000000;
constexpr int32_t kUpper = 173500000;

// An entry with the standard receiver's limits showing 162.250 MHz, recording every event.
class FrequencyEntry : public ::testing::Test {
protected:
    void SetUp() override {
        entry.SetLimits(kLower, kUpper);
        entry.SetFrequency(162250000);
        subscriptions.push_back(entry.OnFrequencyChanged.Subscribe(Recorder(changed)));
        subscriptions.push_back(entry.OnFrequencySpinChanged.Subscribe(Recorder(spun)));
        subscriptions.push_back(entry.OnFrequency375Changed.Subscribe(Recorder(rastered)));
    }

    TmyEventList<int32_t>::Handler Recorder(std::vector<int32_t>& into) {
        return [this, &into](void* sender, int32_t value) {
            EXPECT_EQ(sender, &owner);
            into.push_back(value);
        };
    }

    // Opens the edit field and types `keys` into it; returns how many were taken.
    int Type(const std::string& keys) {
        entry.OpenEdit();
        int taken = 0;
        for (char c : keys) {
            taken += entry.TypeChar(c) ? 1 : 0;
        }
        return taken;
    }
    // Types `keys` and enters them; returns the frequency the entry then holds.
    int32_t Enter(const std::string& keys) {
        Type(keys);
        entry.Enter();
        return entry.Frequency();
    }

    int owner = 0;
    CnxFrequencyEntryModel entry{&owner};
    std::vector<int32_t> changed, spun, rastered;
    TmySubscriptions subscriptions;
};

using Events = std::vector<int32_t>;

TEST_F(FrequencyEntry, TypedValuesFollowTheLimitRule) {
    std::vector<int32_t> refused;
    subscriptions.push_back(
        entry.OnRefused.Subscribe([&](void*, int32_t f) { refused.push_back(f); }));
    EXPECT_EQ(Enter("200"), kUpper);
    EXPECT_EQ(entry.ReadoutText(), "173.500 MHz");
    EXPECT_EQ(changed, Events{kUpper});

    EXPECT_EQ(Enter("100"), kUpper);
    EXPECT_EQ(changed, Events{kUpper}) << "a value below the lower limit is refused";
    EXPECT_EQ(refused, Events{100000000}) << "and the refusal is told";

    // The edges themselves are in.
    EXPECT_EQ(Enter("136"), kLower);
    EXPECT_EQ(Enter("173.5"), kUpper);
    EXPECT_EQ(refused, Events{100000000});
}

TEST_F(FrequencyEntry, MegahertzAndKilohertzInputConvertAlike) {
    entry.SetFrequency(150000000);
    changed.clear();
    EXPECT_EQ(Type("k162250"), 7);
    EXPECT_EQ(entry.GetUnit(), CnxFrequencyEntryModel::kUnitKHz);
    EXPECT_EQ(entry.EditText(), "162250") << "the unit key is not inserted";
    entry.Enter();
    EXPECT_EQ(entry.Frequency(), 162250000);
    EXPECT_EQ(changed, Events{162250000});
    EXPECT_EQ(entry.GetUnit(), CnxFrequencyEntryModel::kUnitMHz) << "back to the preferred unit";

    entry.SetLimits(0, kUpper);
    EXPECT_EQ(Enter("h1000.9"), 1000) << "hertz are truncated";
    EXPECT_EQ(Enter("M136."), 136000000);
    // Upper-case unit keys choose their unit as the lower-case ones do.
    EXPECT_EQ(Enter("K150000"), 150000000);
    EXPECT_EQ(Enter("H2000"), 2000);
}

TEST_F(FrequencyEntry, KeyRulesWhileTyping) {
    EXPECT_EQ(Type("162.2.5"), 6);
    EXPECT_EQ(entry.EditText(), "162.25") << "a second decimal point is refused";

    for (char junk : {'a', 'x', '+', '-', ',', ' ', '\t', '\0', 'z'}) {
        EXPECT_FALSE(entry.TypeChar(junk)) << junk;
    }
    EXPECT_EQ(entry.EditText(), "162.25");

    entry.Backspace();
    EXPECT_EQ(entry.EditText(), "162.2");
    entry.Escape();
    EXPECT_FALSE(entry.IsEditing());
    EXPECT_EQ(entry.ReadoutText(), "162.250 MHz");
    EXPECT_EQ(entry.Frequency(), 162250000);
    EXPECT_TRUE(changed.empty());

    Type("k16");
    entry.ShowFrequency(150000000);
    EXPECT_EQ(entry.GetUnit(), CnxFrequencyEntryModel::kUnitKHz) << "the typed unit holds";
    EXPECT_EQ(entry.EditText(), "16");
}

TEST_F(FrequencyEntry, OpeningSelectsTheShownValueSoTypingReplacesIt) {
    entry.OpenEdit();
    EXPECT_EQ(entry.EditText(), "162.250");
    EXPECT_TRUE(entry.IsEditTextSelected());
    EXPECT_TRUE(entry.TypeChar('.')) << "the selected point is replaced, not counted";
    EXPECT_EQ(entry.EditText(), ".");
    EXPECT_FALSE(entry.IsEditTextSelected());

    entry.OpenEdit();
    entry.Backspace();
    EXPECT_EQ(entry.EditText(), "") << "backspace on a selection clears it";

    EXPECT_EQ(Enter(""), 162250000);
    EXPECT_TRUE(changed.empty()) << "entering the shown value changes nothing";

    EXPECT_FALSE(entry.TypeChar('5')) << "nothing is typed while the field is closed";
}

TEST_F(FrequencyEntry, OverlongInputIsCappedAndClamped) {
    const std::string forty(40, '9');
    EXPECT_EQ(Type(forty), static_cast<int>(CnxFrequencyEntryModel::kMaxEditLength));
    entry.Enter();
    EXPECT_EQ(entry.Frequency(), kUpper);

    entry.SetLimits(kLower, INT32_MAX);
    for (const char* unit : {"h", "k", "m"}) {
        entry.SetFrequency(kLower);
        EXPECT_EQ(Enter(unit + forty), INT32_MAX) << unit;
    }
}

TEST_F(FrequencyEntry, ReadoutInEachUnit) {
    EXPECT_EQ(entry.ReadoutText(), "162.250 MHz");
    entry.SetFixedUnit(true);
    entry.SetUnit(CnxFrequencyEntryModel::kUnitKHz);
    EXPECT_EQ(entry.ReadoutText(), "162250.000 kHz");
    entry.SetUnit(CnxFrequencyEntryModel::kUnitHz);
    EXPECT_EQ(entry.ReadoutText(), "162250000 Hz");
    entry.ShowFrequency(162249999);
    EXPECT_EQ(entry.ReadoutText(), "162249999 Hz") << "a fixed unit stays";

    entry.SetFixedUnit(false);
    entry.ShowFrequency(162249999);
    EXPECT_EQ(entry.ReadoutText(), "162.250 MHz") << "rounding addition, preferred unit";
    entry.ShowFrequency(136187500);
    EXPECT_EQ(entry.ValueText(), "136.188");
    entry.SetPreferredUnit(CnxFrequencyEntryModel::kUnitKHz);
    entry.ShowFrequency(136187500);
    EXPECT_EQ(entry.ReadoutText(), "136187.500 kHz");
    EXPECT_TRUE(changed.empty()) << "showing never raises";
}

TEST_F(FrequencyEntry, EachOperationRaisesItsEventOnceAndOnlyOnChange) {
    entry.SetFrequency(162250000);
    entry.SetFrequency(120000000);
    EXPECT_TRUE(changed.empty());
    entry.SetFrequency(170000000);
    entry.SetFrequency(180000000);
    EXPECT_EQ(changed, (Events{170000000, kUpper}));

    entry.Step(-375000);
    entry.Step(375000);
    entry.Step(375000);     // already at the upper limit
    entry.Step(-50000000);  // below the lower limit: refused
    EXPECT_EQ(spun, (Events{173125000, kUpper}));

    entry.StepOnRaster(-375000);
    entry.StepOnRaster(INT32_MIN);
    EXPECT_EQ(rastered, Events{173125000});
    EXPECT_EQ(changed.size(), 2u) << "stepping raises only its own event";
}

TEST_F(FrequencyEntry, NewLimitsPullTheShownValueInsideButTuneNothing) {
    entry.SetLimits(kLower, 160000000);
    EXPECT_EQ(entry.Frequency(), 160000000);
    entry.SetLimits(kLower, kUpper);
    EXPECT_EQ(entry.Frequency(), 160000000);
    entry.SetLimits(165000000, kUpper);
    EXPECT_EQ(entry.Frequency(), 165000000);
    EXPECT_TRUE(changed.empty());
}

TEST(CnxFrequencyEntryModel, TellsItsListenerAboutEveryVisibleChange) {
    CnxFrequencyEntryModel entry;
    int notified = 0;
    entry.SetChangeListener([&] { ++notified; });
    entry.SetFrequency(5);
    entry.OpenEdit();
    entry.TypeChar('7');
    entry.TypeChar('k');
    entry.Escape();
    EXPECT_EQ(notified, 5);
    std::vector<void*> senders;
    auto listening = entry.OnFrequencyChanged.Subscribe(
        [&](void* sender, int32_t) { senders.push_back(sender); });
    entry.SetFrequency(6);
    EXPECT_EQ(senders, std::vector<void*>{&entry}) << "without an owner the model is the sender";
}

}  // namespace
