#include "tuning/CnxMainWindowKeys.h"

#include <gtest/gtest.h>

namespace {

using Action = CnxMainWindowKeys::Action;

CnxMainWindowKeys::Command Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                                 const QString& text = {}) {
    return CnxMainWindowKeys::Translate(key, modifiers, text);
}

void ExpectAction(const CnxMainWindowKeys::Command& command, Action action, int32_t value = 0) {
    EXPECT_EQ(command.action, action);
    EXPECT_EQ(command.value, value);
}

TEST(CnxMainWindowKeys, CtrlTabWalksTheReceivers) {
    ExpectAction(Press(Qt::Key_Tab, Qt::ControlModifier), Action::SelectReceiverBy, 1);
    ExpectAction(Press(Qt::Key_Tab, Qt::ControlModifier | Qt::ShiftModifier),
                 Action::SelectReceiverBy, -1);
    ExpectAction(Press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier),
                 Action::SelectReceiverBy, -1);
    ExpectAction(Press(Qt::Key_Tab), Action::None);
    ExpectAction(Press(Qt::Key_Backtab, Qt::ShiftModifier), Action::None);
}

TEST(CnxMainWindowKeys, DigitsAndDecimalPointsOpenTheEntry) {
    for (int digit = 0; digit <= 9; ++digit) {
        for (auto modifiers :
             {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::KeypadModifier)}) {
            const auto command = Press(Qt::Key_0 + digit, modifiers, QString::number(digit));
            EXPECT_EQ(command.action, Action::OpenEntry);
            EXPECT_EQ(command.character, '0' + digit);
        }
    }
    EXPECT_EQ(Press(Qt::Key_Period, Qt::KeypadModifier, ".").character, '.');
    EXPECT_EQ(Press(Qt::Key_Comma, Qt::KeypadModifier, ",").character, '.');
    EXPECT_EQ(Press(Qt::Key_unknown, Qt::NoModifier, ".").character, '.');
    ExpectAction(Press(Qt::Key_Comma, Qt::NoModifier, ","), Action::None);
    ExpectAction(Press(Qt::Key_5, Qt::ControlModifier), Action::None);
    ExpectAction(Press(Qt::Key_A, Qt::NoModifier, "a"), Action::None);
}

TEST(CnxMainWindowKeys, ArrowsKeypadSpaceF1AndF2) {
    ExpectAction(Press(Qt::Key_Right), Action::VolumeBy, 1);
    ExpectAction(Press(Qt::Key_Plus, Qt::KeypadModifier, "+"), Action::VolumeBy, 1);
    ExpectAction(Press(Qt::Key_Left), Action::VolumeBy, -1);
    ExpectAction(Press(Qt::Key_Minus, Qt::KeypadModifier, "-"), Action::VolumeBy, -1);
    ExpectAction(Press(Qt::Key_Plus, Qt::NoModifier, "+"), Action::None);
    ExpectAction(Press(Qt::Key_Space, Qt::NoModifier, " "), Action::ToggleScan);
    ExpectAction(Press(Qt::Key_Up), Action::KnobStep, 1);
    ExpectAction(Press(Qt::Key_Down), Action::KnobStep, -1);
    ExpectAction(Press(Qt::Key_F1), Action::Help);
    ExpectAction(Press(Qt::Key_F2), Action::ToggleOverview);
}

TEST(CnxMainWindowKeys, PageKeysStepTheFrequencyCtrlWinningOverShift) {
    const auto both = Qt::ControlModifier | Qt::ShiftModifier;
    ExpectAction(Press(Qt::Key_PageUp), Action::FrequencyBy, 50000);
    ExpectAction(Press(Qt::Key_PageUp, Qt::ShiftModifier), Action::FrequencyBy, 10000);
    ExpectAction(Press(Qt::Key_PageUp, Qt::ControlModifier), Action::FrequencyBy, 500000);
    ExpectAction(Press(Qt::Key_PageUp, both), Action::FrequencyBy, 500000);
    ExpectAction(Press(Qt::Key_PageDown), Action::FrequencyBy, -50000);
    ExpectAction(Press(Qt::Key_PageDown, Qt::ShiftModifier), Action::FrequencyBy, -10000);
}

}  // namespace
