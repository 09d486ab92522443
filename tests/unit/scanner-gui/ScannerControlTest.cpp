#include "scanner/CnxK740RXCtrlScanner.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPushButton>
#include <vector>

#include "GuiTestSupport.h"
#include "scanner/CnxK7RCtrlScanButtons.h"
#include "settings/SnxScanPlan.h"

namespace {

using Buttons = CnxK7RCtrlScanButtons;

// Takes the scanner's two events as the main window would.
class Controller {
public:
    struct Event {
        void* sender;
        int32_t value;
        std::intptr_t extra;
        bool operator==(const Event&) const = default;
    };
    std::vector<Event> commands;
    std::vector<Event> loops;

    void OnScanCommand(void* sender, int32_t mode, std::intptr_t extra) {
        commands.push_back({sender, mode, extra});
    }
    void OnLoopChanged(void* sender, int32_t loop, std::intptr_t extra) {
        loops.push_back({sender, loop, extra});
    }
};

class ScannerControl : public ::testing::Test {
protected:
    void SetUp() override {
        subscriptions_.push_back(
            scanner_.OnScanCommand.Set(&controller_, &Controller::OnScanCommand, 7));
        subscriptions_.push_back(
            scanner_.OnLoopChanged.Set(&controller_, &Controller::OnLoopChanged, 7));
    }
    std::vector<int32_t> Modes() const {
        std::vector<int32_t> modes;
        for (const auto& e : controller_.commands) {
            EXPECT_EQ(e.sender, &scanner_);
            EXPECT_EQ(e.extra, 7);
            modes.push_back(e.value);
        }
        return modes;
    }
    QAbstractButton* Button(int id) const { return scanner_.GetButtons()->GetButton(id); }

    QApplication& app_ = EnsureQtApp();  // before any widget
    Controller controller_;
    CnxK740RXCtrlScanner scanner_{nullptr, 4};
    TmySubscriptions subscriptions_;
};

}  // namespace

TEST_F(ScannerControl, ButtonsAskForAModeAndShowOnlyWhatTheirOwnerGivesThem) {
    // A click asks; the buttons stay as they were until the owner shows the new mode.
    Button(Buttons::kModeScan)->click();
    EXPECT_EQ(Modes(), std::vector<int32_t>{Buttons::kModeScan});
    EXPECT_FALSE(Button(Buttons::kModeScan)->isChecked());
    scanner_.ShowMode(Buttons::kModeScan);
    EXPECT_EQ(scanner_.GetStateText(), "Scanning");
    EXPECT_TRUE(Button(Buttons::kModeScan)->isChecked());
    Button(Buttons::kModeScan)->click();  // shown already: nothing is asked, and it stays lit
    EXPECT_TRUE(Button(Buttons::kModeScan)->isChecked());

    // Showing tells nothing back: the owner is never echoed.
    scanner_.ShowMode(Buttons::kModePause);
    EXPECT_EQ(scanner_.GetStateText(), "Paused");
    EXPECT_TRUE(Button(Buttons::kModePause)->isChecked());
    Button(Buttons::kModePause)->click();  // pause while paused asks to scan again
    Button(Buttons::kModeStop)->click();
    EXPECT_EQ(Modes(), (std::vector<int32_t>{1, 1, 4}));
    EXPECT_EQ(scanner_.GetSlotIndex(), 4);
}

TEST_F(ScannerControl, TheLoopToggleAsksForTheOtherValueAndShowsTheOwners) {
    scanner_.ShowLoop(1);
    EXPECT_TRUE(Button(Buttons::kLoopButton)->isChecked());
    Button(Buttons::kLoopButton)->click();
    ASSERT_EQ(controller_.loops.size(), 1u);
    EXPECT_EQ(controller_.loops[0], (Controller::Event{&scanner_, 0, 7}));
    EXPECT_TRUE(Button(Buttons::kLoopButton)->isChecked());  // until the owner says otherwise
    scanner_.ShowLoop(0);
    EXPECT_FALSE(Button(Buttons::kLoopButton)->isChecked());
    EXPECT_EQ(controller_.loops.size(), 1u);  // showing tells nothing
    EXPECT_TRUE(Modes().empty());
}

TEST_F(ScannerControl, ShowsWhatTheScanCoversAndAClickOnItAsksToChangeIt) {
    SnxScanPlan plan;
    scanner_.ShowPlan(plan, false);
    EXPECT_EQ(scanner_.GetRangeText(), QString::fromUtf8("136.000–173.500 MHz · 375 kHz"));
    scanner_.ShowPlan(plan, true);
    EXPECT_EQ(scanner_.GetRangeText(), QString::fromUtf8("Ch 32–16 · 375 kHz"));
    // Channels only where both edges are channels; lockouts counted within the range.
    plan.lower = 140000000;
    plan.upper = 150125000;
    plan.step = 12500;
    plan.lockout = {1, 45, 50};
    plan.priority = 44;
    scanner_.ShowPlan(plan, true);
    EXPECT_EQ(scanner_.GetRangeText(),
              QString::fromUtf8("140.000–150.125 MHz · 12.5 kHz · 2 out · P44"));
    EXPECT_TRUE(scanner_.GetRangeButton()->toolTip().contains("Locked out: 1,45,50"));
    EXPECT_TRUE(scanner_.GetRangeButton()->toolTip().contains("Priority channel 44"));

    // Short of room it shows the start of its text, the rest cut with an ellipsis.
    scanner_.resize(1000, 50);
    scanner_.show();
    ASSERT_TRUE(
        PumpUntil([&] { return scanner_.GetRangeButton()->text() == scanner_.GetRangeText(); }));
    scanner_.resize(200, 50);  // held at its smallest
    ASSERT_TRUE(
        PumpUntil([&] { return scanner_.GetRangeButton()->text().endsWith(QChar(0x2026)); }));
    EXPECT_TRUE(scanner_.GetRangeButton()->text().startsWith("140.000"));
    EXPECT_LE(scanner_.GetRangeButton()->fontMetrics().horizontalAdvance(
                  scanner_.GetRangeButton()->text()),
              scanner_.GetRangeButton()->contentsRect().width());

    std::vector<int32_t> clicked;
    subscriptions_.push_back(
        scanner_.OnRangeClicked.Set([&clicked](void*, int32_t slot) { clicked.push_back(slot); }));
    scanner_.GetRangeButton()->click();
    EXPECT_EQ(clicked, std::vector<int32_t>{4});
    EXPECT_TRUE(Modes().empty());
}
