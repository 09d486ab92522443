// The sweep history as the scanner page shows it under the bar graph: a row per sweep in the
// colour of each level, every cell under its bar however the graph is zoomed or scrolled, a
// read-out of the cell under the pointer, and the menu items that clear and export it.
#include <gtest/gtest.h>

#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QMenu>
#include <QScreen>
#include <QTemporaryDir>

#include "GuiTestSupport.h"
#include "scanner/CnxCtrlScopeView.h"
#include "scanner/CnxCtrlSweepHistory.h"
#include "scanner/CnxK740RXCtrlScannerGraph.h"
#include "scanner/CnxScannerPage.h"
#include "scanner/CnxSweepColourMap.h"
#include "scanner/ScopeView.h"
#include "settings/CnxScanStepper.h"

namespace {

// The points where the demo sonobuoys are: channels 50, 80 and 1.
constexpr int kChannel50 = 18;
constexpr int kChannel80 = 48;
constexpr int kChannel1 = 68;

class SweepHistoryView : public ::testing::Test {
protected:
    void SetUp() override {
        page_.resize(1000, 640);
        page_.show();
        ASSERT_TRUE(PumpUntil([this] { return History().GetPlot().height() > 60; }));
        page_.ShowScan(InxScanView::kModeScan, kRun);
    }

    CnxCtrlSweepHistory& History() { return page_.History(); }
    ScopeView& Levels() { return page_.Graph().GetScopeView(); }

    // A whole sweep: the sonobuoys at `buoy` dBm, the rest at the floor.
    void Sweep(uint32_t sweep, double buoy, double floor = -110.0) {
        for (int point = 0; point < Levels().GetPointCount(); ++point) {
            ScanSample sample;
            sample.run = kRun;
            sample.sweep = sweep;
            sample.point = point;
            const bool hot = point == kChannel50 || point == kChannel80 || point == kChannel1;
            sample.level = hot ? buoy : floor;
            ASSERT_TRUE(page_.ShowSample(sample));
        }
    }

    // The colour the history shows at the middle of a row, straight under a point's bar: drawn
    // anew, or as the window shows it now.
    QRgb CellUnderBar(int row, int point, bool onScreen = false) {
        const QImage picture = onScreen ? OnScreen() : History().grab().toImage();
        const ScopeAxis& bars = Levels().GetAxis();
        const QPoint barCentre =
            page_.Graph().GetScopeWindow()->mapTo(&page_, QPoint(int(bars.CentreX(point)), 0));
        const int x = History().mapFrom(&page_, barCentre).x();
        const int y = History().GetPlot().top() + row * CnxCtrlSweepHistory::kRowHeight + 1;
        const qreal ratio = picture.devicePixelRatio();
        return picture.pixel(int(x * ratio), int(y * ratio));
    }

    // The history's part of what the window shows.
    QImage OnScreen() {
        const QPoint at = History().mapTo(&page_, QPoint(0, 0));
        return page_.screen()
            ->grabWindow(page_.winId(), at.x(), at.y(), History().width(), History().height())
            .toImage();
    }

    static constexpr uint16_t kRun = 4;
    QApplication& app_ = EnsureQtApp();  // before any widget
    CnxScannerPage page_{nullptr, 0};
};

TEST_F(SweepHistoryView, EachSweepIsARowColouredByLevelUnderItsBars) {
    Sweep(0, -60.0);
    Sweep(1, -70.0);
    page_.ShowScan(InxScanView::kModePause, kRun);
    EXPECT_EQ(History().GetHistory().GetRowCount(), 1) << "a held sweep is not over";
    page_.ShowScan(InxScanView::kModeScan, kRun);
    Sweep(2, -80.0);
    page_.ShowScan(InxScanView::kModeStop, 0);
    ASSERT_EQ(History().GetHistory().GetRowCount(), 3);
    PumpFor(100ms);

    const QRgb floor = CnxSweepColourMap::OfDbm(-110.0);
    const QRgb background = TmyColorScheme::Default().plot.rgb();
    const double newestFirst[] = {-80.0, -70.0, -60.0};
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        for (const int hot : {kChannel50, kChannel80, kChannel1}) {
            EXPECT_EQ(CellUnderBar(row, hot), CnxSweepColourMap::OfDbm(newestFirst[row])) << hot;
            EXPECT_EQ(CellUnderBar(row, hot + 1), floor) << hot;
        }
    }
    EXPECT_EQ(CellUnderBar(3, kChannel50), background) << "no fourth row";

    // Zoomed in and scrolled, the cells still lie under their bars.
    Levels().SetZoom(5.0, kChannel80);
    page_.ScrollBy(kChannel1 - Levels().GetFirstVisible() - 2);
    PumpFor(100ms);
    ASSERT_TRUE(Levels().GetAxis().Shows(kChannel1));
    EXPECT_EQ(CellUnderBar(2, kChannel1), CnxSweepColourMap::OfDbm(-60.0));
    EXPECT_EQ(CellUnderBar(2, kChannel1 + 1), floor);
}

TEST_F(SweepHistoryView, RowsFasterThanTheTickMoveThePictureOnceAndLandInOrder) {
    Sweep(0, -60.0);
    Sweep(1, -65.0);
    ASSERT_TRUE(PumpUntil([this] { return !History().IsRepaintPending(); }));
    PumpFor(50ms);
    EXPECT_EQ(CellUnderBar(0, kChannel50, true), CnxSweepColourMap::OfDbm(-60.0));
    // Five sweeps within one tick: the picture moves once, by five rows.
    for (uint32_t sweep = 2; sweep < 7; ++sweep) {
        Sweep(sweep, -60.0 - 5.0 * sweep);
    }
    EXPECT_TRUE(History().IsRepaintPending());
    ASSERT_TRUE(PumpUntil([this] { return !History().IsRepaintPending(); }));
    PumpFor(50ms);
    ASSERT_EQ(History().GetHistory().GetRowCount(), 6);
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(CellUnderBar(row, kChannel50, true),
                  CnxSweepColourMap::OfDbm(-60.0 - 5.0 * (5 - row)))
            << row;
        EXPECT_EQ(CellUnderBar(row, kChannel50 + 1, true), CnxSweepColourMap::OfDbm(-110.0)) << row;
    }
    EXPECT_EQ(CellUnderBar(6, kChannel50, true), TmyColorScheme::Default().plot.rgb());
}

TEST_F(SweepHistoryView, PointingAtACellNamesItsChannelFrequencyLevelAndTime) {
    Sweep(0, -60.5);
    Sweep(1, -61.0);
    const int64_t firstSweep = History().GetHistory().GetTime(0);
    const QPoint cell(
        int(History().GetPlot().left() + History().GetPlot().width() * (kChannel50 + 0.5) / 99.0),
        History().GetPlot().top() + 1);
    SendMouse(History(), QEvent::MouseMove, cell);
    EXPECT_EQ(History().GetReadOut(),
              QString("Channel 50  \u00b7  142.7500 MHz  \u00b7  -60.5 dBm  \u00b7  %1 UTC")
                  .arg(QDateTime::fromMSecsSinceEpoch(firstSweep, Qt::UTC).toString("hh:mm:ss")));
    // Below the last row there is nothing to name.
    SendMouse(History(), QEvent::MouseMove, cell + QPoint(0, 2 * CnxCtrlSweepHistory::kRowHeight));
    EXPECT_EQ(History().GetReadOut(), "");
}

TEST_F(SweepHistoryView, TheMenusClearGraphAndHistoryTogetherAndExportTheHistory) {
    QMenu& graphMenu = *page_.Graph().GetContextMenu();
    EXPECT_TRUE(graphMenu.actions().contains(page_.ClearAction()));
    EXPECT_TRUE(graphMenu.actions().contains(page_.ExportHistoryAction()));
    Sweep(0, -60.0);
    Sweep(1, -60.0);
    emit graphMenu.aboutToShow();
    EXPECT_FALSE(page_.ClearAction()->isEnabled()) << "not while the scan runs";
    EXPECT_TRUE(page_.ExportHistoryAction()->isEnabled());
    page_.ClearAction()->trigger();
    EXPECT_EQ(History().GetHistory().GetRowCount(), 1);

    QTemporaryDir folder;
    const QString path = folder.filePath("history.csv");
    ASSERT_TRUE(page_.ExportHistory(path));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count('\n'), 2) << "the header and one sweep";
    EXPECT_FALSE(page_.ExportHistory(folder.filePath("missing/history.csv")));

    page_.ShowScan(InxScanView::kModePause, kRun);
    emit graphMenu.aboutToShow();
    EXPECT_TRUE(page_.ClearAction()->isEnabled());
    page_.ClearAction()->trigger();
    EXPECT_EQ(History().GetHistory().GetRowCount(), 0);
    EXPECT_FALSE(Levels().HasReadings());
    emit graphMenu.aboutToShow();
    EXPECT_FALSE(page_.ExportHistoryAction()->isEnabled()) << "nothing to export";
}

TEST_F(SweepHistoryView, OtherPointsStartTheHistoryAfresh) {
    page_.ShowScan(InxScanView::kModeStop, 0);
    page_.ShowScan(InxScanView::kModeScan, kRun);
    Sweep(0, -60.0);
    page_.ShowScan(InxScanView::kModeStop, 0);
    ASSERT_EQ(History().GetHistory().GetRowCount(), 1);
    ASSERT_TRUE(page_.ShowWalk(Levels().GetWalk()));
    EXPECT_EQ(History().GetHistory().GetRowCount(), 1) << "the same points keep their rows";
    ASSERT_TRUE(page_.ShowWalk(CnxScanStepper(136000000, 173500000, 750000)));
    EXPECT_EQ(History().GetHistory().GetRowCount(), 0);
    EXPECT_EQ(History().GetHistory().GetPointCount(), Levels().GetPointCount());
}

}  // namespace
