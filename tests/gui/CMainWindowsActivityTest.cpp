// The activity log in the window: a demo scan logs the demo sonobuoys and nothing else, a radio
// lost while scanning ends its hit as lost, a hit chosen in the list is tuned to, and the
// threshold line and the panel show the one threshold.
#include <QDateTime>
#include <QSpinBox>
#include <QTabBar>
#include <QTableView>
#include <set>

#include "MainWindowFixture.h"
#include "activity/CnxActivityLog.h"
#include "activity/CnxCtrlActivityList.h"
#include "app/CnxActivityController.h"
#include "app/CnxMainViews.h"
#include "scanner/CnxCtrlScopeView.h"
#include "scanner/CnxScopePainter.h"
#include "scanner/ScopeView.h"
#include "settings/CnxCsvReader.h"

namespace {

class MainWindowActivity : public MainWindowTest {
protected:
    CnxActivityListModel& Model() { return window_->Activity().Model(); }
    const ScopeView& View(int slot) { return window_->ScannerPage(slot).Graph().GetScopeView(); }
    // The lines of today's file, each as its fields.
    std::vector<QStringList> TodaysRows() {
        std::vector<QStringList> rows;
        QFile file(window_->Activity().Log().PathFor(QDateTime::currentMSecsSinceEpoch()));
        if (!file.open(QIODevice::ReadOnly)) {
            return rows;
        }
        CnxCsvReader reader(file, 20, 1 << 20);
        CnxCsvReader::Record record;
        reader.Next(&record);
        while (reader.Next(&record)) {
            rows.push_back(record.fields);
        }
        return rows;
    }
};

TEST_F(MainWindowActivity, ADemoLoopScanOverTwoSweepsLogsChannelsOneFiftyAndEightyOnly) {
    Start();
    Key(Qt::Key_Space);
    ASSERT_TRUE(window_->Scans().IsScanning(0));
    // Two sweeps have passed every point once they have passed the last one twice.
    ASSERT_TRUE(PumpUntil([&] { return View(0).GetMax(98).has_value(); }, 40s));
    std::set<int> listed;
    for (int row = 0; row < Model().rowCount(); ++row) {
        EXPECT_TRUE(Model().HitAt(row)->IsOpen());
        listed.insert(Model().HitAt(row)->channel);
    }
    EXPECT_EQ(listed, (std::set<int>{1, 50, 80}));
    EXPECT_EQ(Model().rowCount(), 3);
    EXPECT_EQ(window_->ActivityList().Table().model()->rowCount(), 3);
    EXPECT_TRUE(TodaysRows().empty()) << "nothing has ended yet";

    Key(Qt::Key_Space);  // the scan stops, and with it its hits
    ASSERT_FALSE(window_->Scans().IsScanActive(0));
    const std::vector<QStringList> rows = TodaysRows();
    std::set<int> written;
    for (const QStringList& row : rows) {
        written.insert(row[5].toInt());
        EXPECT_EQ(row[3], QStringLiteral("DEMO"));
        EXPECT_EQ(row[4], QStringLiteral("1"));
        EXPECT_EQ(row[9], QStringLiteral("stopped"));
    }
    EXPECT_EQ(rows.size(), 3U);
    EXPECT_EQ(written, (std::set<int>{1, 50, 80}));
    for (int row = 0; row < Model().rowCount(); ++row) {
        EXPECT_FALSE(Model().HitAt(row)->IsOpen());
    }
    // The graph knows them: point 18 is channel 50.
    EXPECT_EQ(View(0).GetActivity(18).hits, 1);
    EXPECT_FALSE(View(0).GetActivity(18).open);
    EXPECT_EQ(View(0).GetActivity(17).hits, 0);
}

TEST_F(MainWindowActivity, ARadioLostWhileScanningEndsItsHitAsLost) {
    WriteRadios(true);
    Start();
    Key(Qt::Key_Space);
    ASSERT_TRUE(window_->Scans().IsScanning(0));
    ASSERT_TRUE(PumpUntil([&] { return Model().rowCount() > 0; }, 10s));
    EXPECT_EQ(Model().HitAt(0)->channel, 50);
    WriteRadios(false);  // the first radio unplugged
    ASSERT_TRUE(PumpUntil([&] { return !Model().HitAt(0)->IsOpen(); }, 10s));
    EXPECT_EQ(Model().HitAt(0)->end, SnxActivityHit::End::kLost);
    const std::vector<QStringList> rows = TodaysRows();
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0][9], QStringLiteral("lost"));
    EXPECT_EQ(rows[0][3], QStringLiteral("4711001"));
}

TEST_F(MainWindowActivity, AHitChosenInTheListSelectsItsReceiverAndTunesItToTheChannel) {
    Start();
    window_->Tuning().FrequencySet(2, 154000000);  // receiver 3 hears channel 80 unselected
    ASSERT_TRUE(PumpUntil([&] { return Model().rowCount() > 0; }));
    EXPECT_EQ(Model().HitAt(0)->slot, 2);
    window_->Tuning().FrequencySet(2, 136000000);
    EXPECT_EQ(Selected(), 0);

    // The list is a view of its own; its tab tells how many hits are on.
    QTabBar& tabs = window_->Views().Tabs();
    EXPECT_EQ(tabs.tabText(CnxMainViews::kActivityView), QStringLiteral("Activity (1 open)"));
    tabs.setCurrentIndex(CnxMainViews::kActivityView);
    QTableView& table = window_->ActivityList().Table();
    ASSERT_TRUE(PumpUntil([&] { return table.isVisible(); }));
    const QRect cell = table.visualRect(table.model()->index(0, 0));
    // As a mouse double-clicks: press, release, double click, release.
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                    QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        SendMouse(*table.viewport(), type, cell.center());
    }
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(Frequency(), 154000000);
    // Back within the hang time, it is the same hit that goes on.
    PumpFor(2500ms);
    ASSERT_EQ(Model().rowCount(), 1);
    EXPECT_TRUE(Model().HitAt(0)->IsOpen());
}

TEST_F(MainWindowActivity, TheThresholdLineAndThePanelShowTheOneThresholdOfTheSelectedRadio) {
    Start();
    QSpinBox& spin = window_->ActivityList().Threshold();
    // Dragged on the graph: the panel follows, and the setting is the radio's.
    CnxCtrlScopeView& plot = *window_->ScannerPage(0).Graph().GetScopeWindow();
    const QRect area = View(0).GetAxis().GetPlot();
    const int lineY = *CnxScopePainter::ThresholdY(area, View(0));
    const int x = area.center().x();
    const int toY = int(std::lround(CnxScopePainter::DepthY(area, 40.0)));
    SendDrag(plot, QPoint(x, lineY), QPoint(x, toY));
    // The level under the mouse, in whole dB: -80 dBm give or take a pixel's worth.
    const auto dragged = int32_t(std::lround(-40.0 - CnxScopePainter::DepthAt(area, toY)));
    EXPECT_NEAR(dragged, -80, 2);
    EXPECT_EQ(window_->Settings().Receiver(0).activityThreshold, dragged);
    EXPECT_EQ(spin.value(), dragged);
    EXPECT_EQ(View(0).GetThreshold(), double(dragged));

    // Set on the panel: the line follows; another receiver keeps its own.
    spin.setValue(-100);
    EXPECT_EQ(View(0).GetThreshold(), -100.0);
    EXPECT_EQ(View(1).GetThreshold(), -95.0);
    window_->SelectReceiver(1);
    EXPECT_EQ(spin.value(), -95);
    window_->ActivityList().RecordHits().click();
    EXPECT_EQ(window_->Settings().Receiver(1).recordHits, 1);
    EXPECT_EQ(window_->Settings().Receiver(0).recordHits, 0);
}

}  // namespace
