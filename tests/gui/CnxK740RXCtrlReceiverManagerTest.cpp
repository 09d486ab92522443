#include "receiver/CnxK740RXCtrlReceiverManager.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <memory>
#include <vector>

#include "GuiTestSupport.h"
#include "receiver/CnxK740RXReceiverManagerButton.h"
#include "ui/TmyColorScheme.h"

namespace {

const QColor kRed = TmyColorScheme::FromColorRef(TmyColorScheme::kReceiverTextAlarm);
const QColor kBlack = TmyColorScheme::FromColorRef(TmyColorScheme::kReceiverTextSelected);
const QColor kGrey = TmyColorScheme::FromColorRef(TmyColorScheme::kReceiverTextNormal);

// The panel, recording what its events report.
class CnxK740RXCtrlReceiverManagerPanel : public ::testing::Test {
protected:
    CnxK740RXCtrlReceiverManagerPanel() {
        EnsureQtApp();
        panel_ = std::make_unique<CnxK740RXCtrlReceiverManager>();
        subscriptions_.push_back(
            panel_->OnSelectionChanged.Subscribe([this](void*, const SnxK740RXInfoListItem* item) {
                selected_.push_back(item->index);
            }));
        for (auto [event, into] : {std::pair{&panel_->OnHelp, &help_},
                                   {&panel_->OnAbout, &about_},
                                   {&panel_->OnInfo, &info_},
                                   {&panel_->OnCal, &cal_}}) {
            subscriptions_.push_back(
                event->Subscribe([to = into](void*, int32_t value) { to->push_back(value); }));
        }
    }

    QColor ColorOf(int index) const { return panel_->GetItemButton(index)->GetTextColor(); }

    std::unique_ptr<CnxK740RXCtrlReceiverManager> panel_;
    std::vector<int32_t> selected_, help_, about_, info_, cal_;
    TmySubscriptions subscriptions_;
};

}  // namespace

TEST_F(CnxK740RXCtrlReceiverManagerPanel, HoldsAtMostTwentyItems) {
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(panel_->AddItem("Receiver " + std::to_string(i + 1), 100 + i, i % 2 == 1, false),
                  i);
    }
    EXPECT_EQ(panel_->AddItem("Receiver 21", 120, false, true), -1);
    EXPECT_EQ(panel_->GetCount(), 20);
    EXPECT_EQ(panel_->CountRealItems(), 10);
    EXPECT_EQ(panel_->GetItemValue(19), 119);
    EXPECT_EQ(panel_->GetItemButton(20), nullptr);
    EXPECT_TRUE(selected_.empty());
}

TEST_F(CnxK740RXCtrlReceiverManagerPanel, SelectFiresOnceAndIgnoresUnknownIndices) {
    panel_->AddItem("Receiver 1", 0, false, true);
    panel_->AddItem("Receiver 2", 0, false, false);
    EXPECT_EQ(selected_, std::vector<int32_t>{0});
    EXPECT_TRUE(panel_->GetItemButton(0)->IsPressed());

    panel_->Select(0);
    panel_->Select(2);
    panel_->Select(-1);
    EXPECT_EQ(selected_, std::vector<int32_t>{0});

    panel_->GetItemButton(1)->click();
    panel_->GetItemButton(1)->click();
    EXPECT_EQ(selected_, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(panel_->GetSelectedIndex(), 1);
    EXPECT_EQ(panel_->GetSelectedItem()->label, "Receiver 2");
    EXPECT_TRUE(panel_->GetItemButton(1)->IsPressed());
    EXPECT_FALSE(panel_->GetItemButton(0)->IsPressed());
}

TEST_F(CnxK740RXCtrlReceiverManagerPanel, DemoNoteFollowsTheSelectedItem) {
    panel_->AddItem("Receiver 1", 0, true, false);
    panel_->AddItem("Receiver 2", 0, false, false);
    panel_->AddItem("Receiver 3", 0, true, false);
    EXPECT_FALSE(panel_->IsDemoNoteShown());
    for (int item : {0, 1, 2}) {
        panel_->Select(item);
        EXPECT_EQ(panel_->IsDemoNoteShown(), item != 1) << item;
    }
    panel_->show();
    const auto notes = panel_->findChildren<QLabel*>();
    const auto note = std::find_if(notes.begin(), notes.end(), [](QLabel* label) {
        return label->text() == QString::fromLatin1(CnxReceiverListModel::kDemoNote);
    });
    ASSERT_NE(note, notes.end());
    EXPECT_TRUE((*note)->isVisible());
    panel_->Select(1);
    EXPECT_FALSE((*note)->isVisible());

    // A selected receiver that falls back to demo mode brings the note without a new selection.
    panel_->SetItemDemo(1, true);
    EXPECT_TRUE(panel_->IsDemoNoteShown());
    EXPECT_FALSE(panel_->GetItemButton(1)->IsReal());
    EXPECT_EQ(panel_->CountRealItems(), 0);
    panel_->SetItemDemo(0, false);
    EXPECT_TRUE(panel_->IsDemoNoteShown());
    EXPECT_EQ(panel_->CountRealItems(), 1);
}

TEST_F(CnxK740RXCtrlReceiverManagerPanel, TextColoursFollowSelectionAndAlarm) {
    panel_->AddItem("Receiver 1", 0, false, true);
    panel_->AddItem("Receiver 2", 0, false, false);
    EXPECT_EQ(ColorOf(0), kBlack);
    EXPECT_EQ(ColorOf(1), kGrey);

    panel_->SetItemAlarm(1, true);
    EXPECT_EQ(ColorOf(1), kRed);
    panel_->Select(1);
    EXPECT_EQ(ColorOf(1), kRed);
    EXPECT_EQ(ColorOf(0), kGrey);
    panel_->SetItemAlarm(0, true);
    panel_->Select(0);
    EXPECT_EQ(ColorOf(0), kRed);
    EXPECT_EQ(ColorOf(1), kRed);

    panel_->SetItemAlarm(0, false);
    panel_->SetItemAlarm(1, false);
    EXPECT_EQ(ColorOf(0), kBlack);

    // What the operator sees: the face of a lost receiver's button is red, selected or not, and
    // goes back when the radio returns.
    const auto faceIsRed = [&](int index) {
        CnxK740RXReceiverManagerButton* button = panel_->GetItemButton(index);
        button->resize(button->sizeHint());
        // Left of the frequency line, below the label: plain face.
        const QColor face = button->grab().toImage().pixelColor(12, button->height() - 8);
        return face.red() > 2 * face.green() + 20 && face.red() > 2 * face.blue() + 20;
    };
    EXPECT_FALSE(faceIsRed(1));
    panel_->SetItemAlarm(0, true);
    panel_->SetItemAlarm(1, true);
    EXPECT_TRUE(faceIsRed(0)) << "selected";
    EXPECT_TRUE(faceIsRed(1)) << "not selected";
    panel_->SetItemAlarm(0, false);
    EXPECT_FALSE(faceIsRed(0));
}

TEST_F(CnxK740RXCtrlReceiverManagerPanel, FrequencyLineRoundsHalfUpAtTheThirdDecimal) {
    panel_->AddItem("Receiver 1", 0, false, false);
    const auto* button = panel_->GetItemButton(0);
    panel_->SetItemFrequency(0, 9000);  // unchanged: the label stays alone
    EXPECT_EQ(button->text().toStdString(), "Receiver 1");

    for (const auto& [frequency, text] : {std::pair{162250000, "162.250"},
                                          {162250500, "162.251"},
                                          {224999494, "224.999"},
                                          {224999500, "225.000"}}) {
        panel_->SetItemFrequency(0, frequency);
        EXPECT_EQ(button->text().toStdString(), std::string("Receiver 1\n") + text);
    }
    panel_->SetItemFrequency(5, 136000000);  // no such item
    EXPECT_EQ(panel_->GetItemFrequency(5), 0);
}

TEST_F(CnxK740RXCtrlReceiverManagerPanel, LampAndFurtherButtons) {
    panel_->AddItem("Receiver 1", 0, false, false);
    panel_->AddItem("Receiver 2", 0, true, true);
    panel_->SetItemLamp(1, true);
    EXPECT_TRUE(panel_->GetItemButton(1)->IsLampOn());
    EXPECT_FALSE(panel_->GetItemButton(0)->IsLampOn());
    panel_->SetItemLamp(1, false);
    EXPECT_FALSE(panel_->GetItemButton(1)->IsLampOn());

    // A button missing or mislabelled leaves its event unraised.
    for (QPushButton* button : panel_->findChildren<QPushButton*>()) {
        if (QStringList{"Help", "About", "Info", "Cal"}.contains(button->text())) {
            button->click();
        }
    }
    EXPECT_EQ(help_, std::vector<int32_t>{0});
    EXPECT_EQ(about_, std::vector<int32_t>{0});
    EXPECT_EQ(info_, std::vector<int32_t>{1});  // the selected index
    EXPECT_EQ(cal_, std::vector<int32_t>{0});
}
