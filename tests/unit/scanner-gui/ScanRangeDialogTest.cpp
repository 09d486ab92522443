#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QSpinBox>

#include "GuiTestSupport.h"
#include "scanner/CnxK740RXDlgScanRange.h"

namespace {

using Dialog = CnxK740RXDlgScanRange;

int32_t Channel(int number) {
    return *CnxChannelPlan::FrequencyOfChannel(number);
}

void Choose(QComboBox& box, const QVariant& data) {
    const int index = box.findData(data);
    ASSERT_GE(index, 0) << data.toString().toStdString();
    box.setCurrentIndex(index);
}

class ScanRangeDialog : public ::testing::Test {
protected:
    QApplication& app_ = EnsureQtApp();  // before any widget
};

}  // namespace

TEST_F(ScanRangeDialog, ChannelsStepLockoutsAndPriorityMakeThePlan) {
    Dialog dialog(nullptr, SnxScanPlan(), true);
    ASSERT_NE(dialog.GetLowerChannel(), nullptr);
    EXPECT_EQ(dialog.GetLowerFrequency(), nullptr);
    EXPECT_EQ(dialog.GetSummary(), "99 points per sweep");
    // The channels in the order of their frequencies: 32 first, 16 last.
    EXPECT_TRUE(dialog.GetLowerChannel()->itemText(0).startsWith("32"));
    EXPECT_TRUE(dialog.GetUpperChannel()->currentText().startsWith("16"));
    EXPECT_EQ(dialog.GetStep()->count(), 7);

    Choose(*dialog.GetLowerChannel(), Channel(50));
    Choose(*dialog.GetUpperChannel(), Channel(80));
    Choose(*dialog.GetStep(), 25000);
    dialog.GetLockout()->setText("60, 62-63");
    Choose(*dialog.GetPriority(), 55);
    dialog.GetPriorityEvery()->setValue(4);
    SnxScanPlan expected;
    expected.lower = Channel(50);
    expected.upper = Channel(80);
    expected.step = 25000;
    expected.lockout = {60, 62, 63};
    expected.priority = 55;
    expected.priorityEvery = 4;
    EXPECT_EQ(dialog.GetChosenPlan(), expected);
    // 11.25 MHz in 25 kHz steps; each locked channel's window holds 15 of them.
    EXPECT_EQ(dialog.GetSummary(), "451 points per sweep, 406 measured");
    EXPECT_TRUE(dialog.CheckChoice());
}

TEST_F(ScanRangeDialog, EdgesLeftAloneKeepTheirFrequenciesAndAnyStepSetElsewhereIsOffered) {
    SnxScanPlan plan;
    plan.lower = 142800000;  // off the raster, in channel 50's window
    plan.step = 750000;
    Dialog channels(nullptr, plan, true);
    EXPECT_TRUE(channels.GetLowerChannel()->currentText().startsWith("50"));
    EXPECT_EQ(channels.GetStep()->count(), 8);
    EXPECT_EQ(channels.GetStep()->currentText(), "750 kHz");
    EXPECT_EQ(channels.GetChosenPlan(), plan);

    Dialog frequencies(nullptr, plan, false);
    ASSERT_NE(frequencies.GetLowerFrequency(), nullptr);
    EXPECT_EQ(frequencies.GetChosenPlan(), plan);
    frequencies.GetLowerFrequency()->setValue(140.0125);
    frequencies.GetUpperFrequency()->setValue(150.5);
    plan.lower = 140012500;
    plan.upper = 150500000;
    EXPECT_EQ(frequencies.GetChosenPlan(), plan);
}

TEST_F(ScanRangeDialog, WhatCannotBeTakenIsRefusedWithTheReasonUntilPutRight) {
    SnxScanPlan plan;
    plan.lower = plan.upper = Channel(50);
    std::optional<SnxScanPlan> chosen;
    std::vector<QString> notes;
    AnswerNextModal<Dialog>([&notes](Dialog* dialog) {
        dialog->GetLockout()->setText("50, 120");
        dialog->accept();
        notes.push_back(dialog->GetNote());
        dialog->GetLockout()->clear();
        notes.push_back(dialog->GetNote());
        dialog->GetLockout()->setText("50");
        dialog->accept();
        notes.push_back(dialog->GetNote());
        dialog->GetLockout()->clear();
        notes.push_back(dialog->GetNote());
        dialog->accept();
    });
    Dialog dialog(nullptr, plan, true);
    chosen = dialog.Execute();
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_TRUE(notes[0].contains("\u201C120\u201D is not a channel")) << notes[0].toStdString();
    EXPECT_TRUE(notes[1].isEmpty()) << "put right, the note goes";
    EXPECT_TRUE(notes[2].startsWith("Every channel of the range is locked out"))
        << notes[2].toStdString();
    EXPECT_TRUE(notes[3].isEmpty());
    EXPECT_EQ(chosen, plan);

    AnswerNextModal<Dialog>([](Dialog* dialog) { dialog->reject(); });
    Dialog cancelled(nullptr, plan, true);
    EXPECT_EQ(cancelled.Execute(), std::nullopt);
}
