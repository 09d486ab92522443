// The frequency entry and the knob driven the way a user drives them: through mouse, key and
// wheel events delivered to the widgets.
#include <gtest/gtest.h>

#include <vector>

#include "GuiTestSupport.h"
#include "tuning/CnxCtrlFrequency.h"
#include "tuning/CnxCtrlKnob.h"

namespace {

class TuningControls : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQtApp(); }

    static bool Key(QWidget& widget, int key, const QString& text = {},
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return SendKey(widget, key, modifiers, text);
    }
};

TEST_F(TuningControls, ClickOpensTheEntryAndTypedKeysReachTheModel) {
    CnxCtrlFrequency entry;
    entry.resize(entry.sizeHint());
    entry.Model().SetLimits(136000000, 173500000);
    entry.Model().ShowFrequency(162250000);
    std::vector<int32_t> changed;
    std::vector<void*> senders;
    auto listening = entry.OnFrequencyChanged.Subscribe([&](void* sender, int32_t f) {
        changed.push_back(f);
        senders.push_back(sender);
    });

    SendDrag(entry, QPointF(entry.width() / 2.0, 10), QPointF(entry.width() / 2.0, 10));
    ASSERT_TRUE(entry.Model().IsEditing());

    EXPECT_TRUE(Key(entry, Qt::Key_K, "k"));
    for (const char* digit : {"1", "6", "5", "0", "0", "0"}) {
        EXPECT_TRUE(Key(entry, Qt::Key_0 + (digit[0] - '0'), digit));
    }
    EXPECT_TRUE(Key(entry, Qt::Key_X, "x")) << "swallowed, not passed on";
    EXPECT_FALSE(Key(entry, Qt::Key_Tab, {}, Qt::ControlModifier)) << "shortcuts pass on";
    EXPECT_EQ(entry.Model().EditText(), "165000");
    EXPECT_TRUE(Key(entry, Qt::Key_Return, "\r"));
    EXPECT_FALSE(entry.Model().IsEditing());
    EXPECT_EQ(changed, std::vector<int32_t>{165000000});
    EXPECT_EQ(senders, std::vector<void*>{&entry});

    // A value below the band is refused with a note beside the field that says why.
    EXPECT_TRUE(entry.GetRefusalNote().isEmpty());
    for (const char* key : {"1", "0", "0"}) {
        Key(entry, Qt::Key_0 + (key[0] - '0'), key);
    }
    Key(entry, Qt::Key_Return, "\r");
    EXPECT_EQ(entry.Model().Frequency(), 165000000);
    EXPECT_EQ(entry.GetRefusalNote(),
              "100.000 MHz is below 136.000 MHz, the lowest this receiver tunes.");
}

TEST_F(TuningControls, EntryOpensFromTheKeyboardAndClosesWhenDisabled) {
    CnxCtrlFrequency entry;
    entry.resize(entry.sizeHint());
    entry.Model().ShowFrequency(162250000);

    EXPECT_TRUE(Key(entry, Qt::Key_7, "7"));
    EXPECT_EQ(entry.Model().EditText(), "7");
    EXPECT_TRUE(entry.OpenEditWith(QLatin1Char('.')));
    EXPECT_EQ(entry.Model().EditText(), "7.") << "typed into the open field";

    entry.enable(false);
    EXPECT_FALSE(entry.Model().IsEditing());
    EXPECT_EQ(entry.Model().Frequency(), 162250000);
    EXPECT_FALSE(entry.OpenEditWith(QLatin1Char('1')));
    SendDrag(entry, QPointF(entry.width() / 2.0, 10), QPointF(entry.width() / 2.0, 10));
    EXPECT_FALSE(entry.Model().IsEditing());

    entry.enable(true);
    EXPECT_FALSE(Key(entry, Qt::Key_Up)) << "closed, the entry leaves tuning keys alone";
}

TEST_F(TuningControls, KnobTurnsByWheelKeysAndDragging) {
    CnxCtrlKnob knob;
    knob.resize(100, 100);
    knob.SetStep(375000);
    std::vector<int32_t> steps;
    auto listening =
        knob.FrequencyKnobChangeStep.Subscribe([&](void*, int32_t step) { steps.push_back(step); });

    EXPECT_TRUE(SendWheel(knob, 120));
    EXPECT_TRUE(Key(knob, Qt::Key_Down));
    EXPECT_TRUE(Key(knob, Qt::Key_Up, {}, Qt::AltModifier));
    EXPECT_FALSE(Key(knob, Qt::Key_PageUp));
    EXPECT_EQ(steps, (std::vector<int32_t>{375000, -375000, 37500}));

    // Slowly a little over a quarter turn clockwise from twelve o'clock: six plain detents up.
    steps.clear();
    SendMouse(knob, QEvent::MouseButtonPress, QPointF(50, 10), 1000);
    SendMouse(knob, QEvent::MouseMove, QPointF(85, 30), 2000);
    SendMouse(knob, QEvent::MouseMove, QPointF(90, 52), 3000);
    SendMouse(knob, QEvent::MouseButtonRelease, QPointF(90, 52), 3000);
    EXPECT_EQ(steps, std::vector<int32_t>(6, 375000));
    SendMouse(knob, QEvent::MouseMove, QPointF(50, 90), 4000);
    EXPECT_EQ(steps.size(), 6u) << "moving without the button held turns nothing";
    EXPECT_EQ(knob.Model().Position(), 7) << "wheel up, down, up, then six detents";
}

}  // namespace
