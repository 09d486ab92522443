// The overview of all receivers as the operator uses it: a tile for every receiver there is, with
// what its owners say of it; a click opens that receiver; a lost radio shows as lost; the view
// and the splits the operator chose are there again at the next start.
#include <QSplitter>
#include <QSplitterHandle>
#include <QTabBar>
#include <cmath>

#include "MainWindowFixture.h"
#include "app/CnxMainViews.h"
#include "app/CnxOverviewPanel.h"
#include "app/CnxOverviewTile.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "scanner/CnxCtrlScopeThumbnail.h"
#include "scanner/CnxCtrlSweepHistory.h"

namespace {

class MainWindowOverview : public MainWindowTest {
protected:
    CnxOverviewTile& Tile(int slot) { return window_->Overview().Tile(slot); }
    bool OverviewShown() { return window_->Views().IsOverviewShown(); }
    // The tiles the overview shows, by the names they show.
    QStringList ShownNames() {
        QStringList names;
        for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
            if (Tile(slot).isVisible()) {
                names << Tile(slot).GetShown().name;
            }
        }
        return names;
    }
    void Click(QWidget& widget) {
        SendDrag(widget, QPointF(widget.width() / 2.0, widget.height() / 2.0),
                 QPointF(widget.width() / 2.0, widget.height() / 2.0));
    }
};

TEST_F(MainWindowOverview, EveryReceiverHasATileAndAClickOpensItsOwnView) {
    Start();
    window_->resize(1280, 800);
    EXPECT_FALSE(OverviewShown());
    window_->SelectReceiver(2);
    Key(Qt::Key_Space);
    ASSERT_TRUE(window_->Scans().IsScanning(2));
    window_->Tuning().FrequencySet(5, 142750000);

    Key(Qt::Key_F2);
    ASSERT_TRUE(OverviewShown());
    EXPECT_FALSE(window_->ScannerPage(2).isVisible());
    EXPECT_EQ(ShownNames(), (QStringList{"Receiver 1", "Receiver 2", "Receiver 3", "Receiver 4",
                                         "Receiver 5", "Receiver 6", "Receiver 7", "Receiver 8"}));
    // Each tile shows what the owners hold now.
    ASSERT_TRUE(PumpUntil([&] { return Tile(2).GetStateText() == "Scanning"; }));
    EXPECT_EQ(Tile(0).GetStateText(), "Stopped");
    EXPECT_EQ(Tile(5).GetShown().frequency, 142750000);
    ASSERT_TRUE(PumpUntil([&] { return !std::isnan(Tile(2).GetShown().level); }))
        << "the level of its latest step";
    EXPECT_TRUE(Tile(5).GetLevelText().endsWith(" dBm")) << Tile(5).GetLevelText().toStdString();
    // Its scan in small fills up as the scan goes on: a second sweep makes the first a row.
    ASSERT_TRUE(PumpUntil(
        [&] { return window_->ScannerPage(2).History().GetHistory().GetRowCount() >= 1; }, 30s));
    // Eight tiles at 1280 x 800 stay big enough to read: the bars of 99 channels and a strip of
    // sweeps.
    EXPECT_GE(Tile(7).Thumbnail().GetBarPlot().width(), 99 * 4);
    EXPECT_GE(Tile(7).Thumbnail().GetBarPlot().height(), 60);
    EXPECT_GE(Tile(7).Thumbnail().GetHistoryPlot().height(), 30);

    // The space bar still starts and stops the selected receiver's scan from the overview.
    Key(Qt::Key_Space);
    EXPECT_FALSE(window_->Scans().IsScanActive(2));

    Click(Tile(5));
    EXPECT_FALSE(OverviewShown());
    EXPECT_EQ(Selected(), 5);
    EXPECT_TRUE(window_->ScannerPage(5).isVisible());
    EXPECT_EQ(Frequency(), 142750000);
    // The tab goes there and back too.
    window_->Views().Tabs().setCurrentIndex(1);
    EXPECT_TRUE(OverviewShown());
    Key(Qt::Key_F2);
    EXPECT_FALSE(OverviewShown());
    EXPECT_TRUE(window_->TuningPanel().Entry().hasFocus()) << "digits go on tuning";
}

TEST_F(MainWindowOverview, OnlyReceiversThereAreAreShownAndALostOneSaysSo) {
    WriteRadios(true, true);
    Start();
    Key(Qt::Key_F2);
    EXPECT_EQ(ShownNames(), (QStringList{"Receiver 1", "Receiver 2"}));
    EXPECT_FALSE(Tile(1).IsShownLost());
    WriteRadios(true, false);
    ASSERT_TRUE(PumpUntil([&] { return Tile(1).IsShownLost(); }));
    EXPECT_EQ(Tile(1).GetStateText(), "Lost");
    EXPECT_EQ(Tile(1).GetLevelText(), "no reading");
    EXPECT_FALSE(Tile(0).IsShownLost());
    EXPECT_TRUE(Tile(0).GetLevelText().endsWith(" dBm"));

    WriteRadios(true, true);
    ASSERT_TRUE(PumpUntil([&] { return !Tile(1).IsShownLost(); }));
    EXPECT_EQ(Tile(1).GetStateText(), "Stopped");
}

TEST_F(MainWindowOverview, TheViewAndTheSplitsAreThereAgainAtTheNextStart) {
    Start();
    window_->resize(1100, 760);
    PumpFor(100ms);
    QSplitter& middle = window_->Views().ScanSplit();
    middle.setSizes({middle.sizes()[0] + 30, middle.sizes()[1] - 30});
    const QList<int> scanAndSpectrum = middle.sizes();
    // The operator drags the line between graph and history up on one receiver's page; every
    // receiver's page follows, so changing receivers does not move it.
    auto* split = window_->ScannerPage(0).findChild<QSplitter*>();
    ASSERT_NE(split, nullptr);
    const QList<int> before = split->sizes();
    QSplitterHandle* handle = split->handle(1);
    const QPointF grip(handle->width() / 2.0, handle->height() / 2.0);
    SendMouse(*handle, QEvent::MouseButtonPress, grip);
    SendMouse(*handle, QEvent::MouseMove, grip - QPointF(0, 20));
    SendMouse(*handle, QEvent::MouseButtonRelease, grip - QPointF(0, 20));
    const QList<int> moved = split->sizes();
    ASSERT_EQ(moved, (QList<int>{before[0] - 20, before[1] + 20}));
    window_->SelectReceiver(6);
    EXPECT_EQ(window_->ScannerPage(6).GetSplit(), moved);
    Key(Qt::Key_F2);
    window_.reset();
    EXPECT_TRUE(IniText().contains(
        QString("SplitGraph=%1\nSplitHistory=%2\nSplitScans=%3\nSplitSpectrum=%4\nOverview=1\n")
            .arg(moved[0])
            .arg(moved[1])
            .arg(scanAndSpectrum[0])
            .arg(scanAndSpectrum[1])))
        << IniText().toStdString();

    // At the next start, in a window of the same size.
    Start();
    window_->resize(1100, 760);
    PumpFor(100ms);
    window_->Views().Apply(window_->Settings().Layout());
    EXPECT_TRUE(OverviewShown());
    Key(Qt::Key_F2);
    PumpFor(100ms);
    EXPECT_EQ(window_->ScannerPage(0).GetSplit(), moved);
    EXPECT_EQ(window_->Views().ScanSplit().sizes(), scanAndSpectrum);
}

TEST_F(MainWindowOverview, EightRadiosScanningFlatOutWithTheOverviewShownLoseNoSample) {
    QString radios;
    for (int i = 0; i < 8; ++i) {
        radios += QStringLiteral("[radio%1]\nserial = 47120%1\n").arg(i);
    }
    WriteSimulation(radios + "[signals]\n142750000 = -62\n");
    g_optSettle1 = {true, 0};
    g_optSettle2 = {true, 0};
    Start();
    window_->resize(1280, 800);
    for (int slot = 0; slot < 8; ++slot) {
        window_->SelectReceiver(slot);
        Key(Qt::Key_Space);
        ASSERT_TRUE(window_->Scans().IsScanning(slot)) << slot;
    }
    Key(Qt::Key_F2);
    ASSERT_TRUE(PumpUntil(
        [&] {
            for (int slot = 0; slot < 8; ++slot) {
                if (window_->ScannerPage(slot).History().GetHistory().GetRowCount() < 3) {
                    return false;
                }
            }
            return true;
        },
        60s));
    for (int slot = 0; slot < 8; ++slot) {
        EXPECT_EQ(Tile(slot).GetStateText(), "Scanning") << slot;
        EXPECT_EQ(window_->Manager()->GetReceiver(slot)->GetScanOverruns(), 0u) << slot;
        // Every row holds the sonobuoy on channel 50, and the floor elsewhere.
        const CnxSweepHistory& history = window_->ScannerPage(slot).History().GetHistory();
        for (int row = 0; row < 3; ++row) {
            EXPECT_GT(history.GetLevel(row, 18).value_or(-200), -70.0) << slot << "/" << row;
            EXPECT_LT(history.GetLevel(row, 19).value_or(0), -90.0) << slot << "/" << row;
        }
    }
}

}  // namespace
