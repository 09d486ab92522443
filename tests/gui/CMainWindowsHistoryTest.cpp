// The sweep history of a real scan in the window: however often the operator holds and resumes
// the scan, every sweep is one whole row.
#include <QRandomGenerator>

#include "MainWindowFixture.h"
#include "scanner/CnxCtrlSweepHistory.h"
#include "scanner/ScopeView.h"

namespace {

using Buttons = CnxK7RCtrlScanButtons;

TEST_F(MainWindowTest, EverySweepIsOneWholeRowHoweverOftenTheScanIsHeld) {
    Start();
    Key(Qt::Key_Space);
    const CnxSweepHistory& history = window_->ScannerPage(0).History().GetHistory();
    // Held and resumed a dozen times at a human pace, over more than two sweeps.
    QRandomGenerator pace(5);
    while (history.GetRowCount() < 3) {
        PumpFor(std::chrono::milliseconds(300 + pace.bounded(500)));
        Press(0, Buttons::kModePause);
        PumpFor(std::chrono::milliseconds(100 + pace.bounded(300)));
        Press(0, Buttons::kModePause);
        ASSERT_TRUE(window_->Scans().IsScanning(0));
    }
    Key(Qt::Key_Space);  // stopped: the sweep under way is a row as far as it went
    EXPECT_GE(history.GetRowCount(), 4);
    for (int row = 1; row < history.GetRowCount(); ++row) {
        int readings = 0;
        for (int point = 0; point < history.GetPointCount(); ++point) {
            readings += history.GetLevel(row, point).has_value();
        }
        EXPECT_EQ(readings, 99) << "row " << row << " of " << history.GetRowCount();
        EXPECT_GT(history.GetLevel(row, 18).value_or(-200), -70.0) << "channel 50, row " << row;
    }
    EXPECT_LT(history.GetTime(1), history.GetTime(0));
}

}  // namespace
