// The activity log against recording views: scheduled sonobuoys of a simulated radio found by a
// loop scan, hits of listening receivers, the day files, a folder that cannot be written, the
// threshold's one owner, hit recordings, and what the graphs and the list are shown.
#include "app/CnxActivityController.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "ControllerTestSupport.h"
#include "activity/InxActivityPanel.h"
#include "app/InxOperatorNotices.h"
#include "app/InxSlotLevels.h"
#include "scanner/InxActivityGraph.h"
#include "scanner/InxScanView.h"
#include "settings/CnxCsvReader.h"

namespace {

constexpr double kQuiet = -110.0;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class ScriptedLevels : public InxSlotLevels {
public:
    std::array<double, kK740RXSlotCount> levels;
    ScriptedLevels() { levels.fill(kQuiet); }
    double GetLevelDbm(int slot) override { return levels[size_t(slot)]; }
    double GetHeardLevel(int slot) override { return levels[size_t(slot)]; }
};

class CountingNotices : public InxOperatorNotices {
public:
    QStringList told;
    void Tell(const QString&, const QString& text) override { told.push_back(text); }
};

class RecordingGraph : public InxActivityGraph {
public:
    std::vector<double> thresholds;
    std::map<int64_t, SnxPointActivity> activity;
    void ShowThreshold(double dbm) override { thresholds.push_back(dbm); }
    void ShowActivity(int64_t hertz, const SnxPointActivity& shown) override {
        activity[hertz] = shown;
    }
};

class RecordingPanel : public InxActivityPanel {
public:
    int slot = -1;
    int threshold = 0;
    bool recordHits = false;
    void ShowReceiverSettings(int shownSlot, int dbm, bool record) override {
        slot = shownSlot;
        threshold = dbm;
        recordHits = record;
    }
};

// Takes every sample of the runs it shows, and when each sweep began.
class SweepClockView : public InxScanView {
public:
    uint16_t run = 0;
    std::vector<int64_t> sweepStarts;  // UTC ms
    void ShowScan(int32_t, uint16_t shown) override { run = shown; }
    void ShowLoop(bool) override {}
    void ShowPlan(const SnxScanPlan&, bool) override {}
    bool ShowWalk(const CnxScanStepper&) override { return true; }
    bool ShowSample(const ScanSample& sample) override {
        if (sample.point == 0) {
            sweepStarts.push_back(QDateTime::currentMSecsSinceEpoch());
        }
        return sample.run == run;
    }
    void ScrollBy(int) override {}
};

// A hit's line of a day file, as read back.
struct Row {
    int64_t start = 0;
    int64_t end = 0;
    QStringList fields;
};

std::vector<Row> ReadRows(const QString& path) {
    std::vector<Row> rows;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return rows;
    }
    CnxCsvReader reader(file, 20, 1 << 24);
    CnxCsvReader::Record record;
    reader.Next(&record);  // the header
    while (reader.Next(&record)) {
        Row row;
        row.fields = record.fields;
        row.start = QDateTime::fromString(record.fields[0], Qt::ISODateWithMs).toMSecsSinceEpoch();
        row.end = QDateTime::fromString(record.fields[1], Qt::ISODateWithMs).toMSecsSinceEpoch();
        rows.push_back(row);
    }
    return rows;
}

class ActivityControllerTest : public ControllerTest {
protected:
    void ReleaseControllers() override {
        stateChanges_.Cancel();
        activity_.reset();
        scans_.reset();
    }
    // The receivers, a scan controller, and the activity log on the given clock (the system's
    // when none).
    void Start(CnxActivityController::Clock clock = {}) {
        StartReceivers();
        scans_ = std::make_unique<CnxScanController>(*settings_, *manager_, nullptr);
        router_.scans = scans_.get();
        scans_->SetView(0, &sweeps_);
        CnxActivityController::Graphs graphs{};
        for (int slot = 0; slot < kK740RXSlotCount; ++slot) {
            graphs[size_t(slot)] = &graphs_[size_t(slot)];
        }
        activity_ = std::make_unique<CnxActivityController>(*settings_, *manager_, *scans_, levels_,
                                                            notices_, graphs, clock);
        activity_->SetPanel(&panel_);
        router_.activity = activity_.get();
        // As the window routes it.
        stateChanges_ = scans_->OnStateChanged.Subscribe(
            [this](void*, int slot) { activity_->ScanStateChanged(slot); });
    }
    QString ActivityFolder() const {
        return QString::fromStdString(settings_->GetSettingsDir()) + QStringLiteral("/Activity");
    }
    QString DayFile(int64_t utcMs) const {
        return ActivityFolder() + QLatin1Char('/') + CnxActivityLog::FileName(utcMs);
    }
    // Polls as the level-poll timer does, each poll 150 ms later on the test's clock.
    void Poll(int times) {
        for (int i = 0; i < times; ++i) {
            activity_->Poll();
            now_ += 150;
        }
    }
    CnxActivityController::Clock TestClock() {
        return [this] { return now_; };
    }

    ScriptedLevels levels_;
    CountingNotices notices_;
    std::array<RecordingGraph, kK740RXSlotCount> graphs_;
    RecordingPanel panel_;
    SweepClockView sweeps_;
    std::unique_ptr<CnxScanController> scans_;
    std::unique_ptr<CnxActivityController> activity_;
    TmySubscription stateChanges_;
    int64_t now_ = 0;
};

double UnixSeconds(int64_t ms) {
    return double(ms) / 1000.0;
}

}  // namespace

// Two sonobuoys on a schedule, one of them transmitting twice; a simulated radio scans the band in
// a loop meanwhile. Each transmission is one line, on its channel, begun and ended within a sweep
// of when it really did, as strong as it was sent.
TEST_F(ActivityControllerTest,
       ALoopScanLogsEachScheduledTransmissionOnceWithItsChannelTimesAndPeak) {
    const int64_t t0 = QDateTime::currentMSecsSinceEpoch() + 1000;
    struct Transmission {
        int channel;
        int64_t hertz;
        double dbm;
        int64_t on;
        int64_t off;
    };
    const std::vector<Transmission> sent = {
        {50, 142750000, -60.0, t0 + 1000, t0 + 3000},
        {80, 154000000, -70.0, t0 + 2000, t0 + 5000},
        {50, 142750000, -60.0, t0 + 4500, t0 + 6000},
    };
    std::string schedule = "[schedule]\n";
    for (const Transmission& t : sent) {
        schedule += std::to_string(t.hertz) + " = " + std::to_string(t.dbm) + ", " +
                    QString::number(UnixSeconds(t.on), 'f', 3).toStdString() + ", " +
                    QString::number(UnixSeconds(t.off), 'f', 3).toStdString() + "\n";
    }
    DescribeRadios("[radio0]\nserial = 4711,01\nproduct = K7USB-A\n" + schedule);
    Start();
    scans_->Command(0, InxScanView::kModeScan);
    ASSERT_TRUE(scans_->IsScanning(0));
    // Until the last transmission has been quiet for more than the hang.
    ASSERT_TRUE(PumpUntil([&] { return QDateTime::currentMSecsSinceEpoch() > t0 + 8000; }, 20s));
    ASSERT_GE(sweeps_.sweepStarts.size(), 10U);
    int64_t sweep = 0;
    for (std::size_t i = 1; i < sweeps_.sweepStarts.size(); ++i) {
        sweep = std::max(sweep, sweeps_.sweepStarts[i] - sweeps_.sweepStarts[i - 1]);
    }
    // What a sample takes from its measurement to the window: generous for a busy machine.
    constexpr int64_t kDelivery = 150;
    const std::vector<Row> rows = ReadRows(DayFile(t0));
    ASSERT_EQ(rows.size(), sent.size()) << "sweep " << sweep << " ms";
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const Row& row = rows[i];
        const Transmission& t = sent[i];
        SCOPED_TRACE(row.fields.join(QLatin1Char(',')).toStdString());
        EXPECT_EQ(row.fields[3], QStringLiteral("4711,01"));
        EXPECT_EQ(row.fields[4], QStringLiteral("1"));
        EXPECT_EQ(row.fields[5].toInt(), t.channel);
        EXPECT_EQ(row.fields[6].toLongLong(), t.hertz);
        EXPECT_GE(row.start, t.on);
        EXPECT_LE(row.start, t.on + sweep + kDelivery);
        EXPECT_LE(row.end, t.off + kDelivery);
        EXPECT_GE(row.end, t.off - sweep);
        EXPECT_NEAR(row.fields[7].toDouble(), t.dbm, 2.0);
        EXPECT_EQ(row.fields[9], QStringLiteral("quiet"));
    }
    // The list shows them too, newest first, and the graph knows how often each was heard.
    ASSERT_EQ(activity_->Model().rowCount(), 3);
    EXPECT_EQ(activity_->Model().HitAt(0)->startMs, rows[2].start);
    EXPECT_EQ(graphs_[0].activity[142750000].hits, 2);
    EXPECT_EQ(graphs_[0].activity[154000000].hits, 1);
    EXPECT_FALSE(graphs_[0].activity[142750000].open);
    EXPECT_EQ(graphs_[0].activity.size(), 2U) << "nothing else was heard";
    EXPECT_TRUE(notices_.told.isEmpty());
    scans_->Stop(0);
}

TEST_F(ActivityControllerTest, ListeningReceiversAreWatchedWhereTheyAreTunedSelectedOrNot) {
    now_ = 1'700'000'000'000;
    Start(TestClock());
    settings_->Receiver(3).frequency = 154000000;
    levels_.levels[3] = -72.0;
    Poll(10);
    levels_.levels[3] = -71.0;
    Poll(1);
    ASSERT_EQ(activity_->Model().rowCount(), 1);
    const SnxActivityHit open = *activity_->Model().HitAt(0);
    EXPECT_TRUE(open.IsOpen());
    EXPECT_EQ(open.channel, 80);
    EXPECT_EQ(open.peakDbm, -71.0) << "the list follows an open hit";
    EXPECT_EQ(activity_->Model().index(0, CnxActivityListModel::kDuration).data().toString(),
              QStringLiteral("1.5 s"));
    EXPECT_EQ(graphs_[3].activity[154000000], (SnxPointActivity{1, open.startMs, true}));

    // A receiver that cannot be read ends it as lost; it opens nothing meanwhile.
    levels_.levels[3] = kNaN;
    Poll(3);
    const SnxActivityHit lost = *activity_->Model().HitAt(0);
    EXPECT_EQ(lost.end, SnxActivityHit::End::kLost);
    EXPECT_EQ(lost.endMs, open.startMs + 10 * 150);

    // Heard again, then the receiver reported lost by its connection.
    levels_.levels[3] = -72.0;
    Poll(1);
    EXPECT_EQ(graphs_[3].activity[154000000].hits, 2);
    activity_->ReceiverLost(3);
    EXPECT_EQ(activity_->Model().HitAt(0)->end, SnxActivityHit::End::kLost);

    const std::vector<Row> rows = ReadRows(DayFile(now_));
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_EQ(rows[0].fields.mid(2, 3).join(','), QStringLiteral("1.500,DEMO,4"));
    EXPECT_EQ(rows[0].fields[9], QStringLiteral("lost"));
    EXPECT_EQ(rows[1].fields[9], QStringLiteral("lost"));
}

TEST_F(ActivityControllerTest, AHitGoesIntoTheFileOfTheDayItBeganAndANewDayStartsANewFile) {
    const int64_t midnight =
        QDateTime::fromString(QStringLiteral("2024-05-02T00:00:00.000Z"), Qt::ISODateWithMs)
            .toMSecsSinceEpoch();
    now_ = midnight - 2000;
    Start(TestClock());
    settings_->Receiver(0).frequency = 142750000;
    levels_.levels[0] = -60.0;
    Poll(4);  // up to 23:59:58.450
    levels_.levels[0] = kQuiet;
    Poll(20);  // quiet past midnight: the hit ends
    levels_.levels[0] = -61.0;
    Poll(2);
    activity_.reset();  // the end of the program writes the open one as stopped

    const std::vector<Row> before = ReadRows(DayFile(midnight - 1));
    const std::vector<Row> after = ReadRows(DayFile(midnight));
    ASSERT_EQ(before.size(), 1U);
    ASSERT_EQ(after.size(), 1U);
    EXPECT_EQ(before[0].fields[0], QStringLiteral("2024-05-01T23:59:58.000Z"));
    EXPECT_EQ(before[0].fields[1], QStringLiteral("2024-05-01T23:59:58.450Z"));
    EXPECT_EQ(before[0].fields[9], QStringLiteral("quiet"));
    EXPECT_EQ(after[0].fields[9], QStringLiteral("stopped"));
    EXPECT_TRUE(after[0].fields[0].startsWith(QStringLiteral("2024-05-02T00:00:0")));
    EXPECT_TRUE(QFile::exists(ActivityFolder() + QStringLiteral("/activity-2024-05-02.csv")));
}

// In demo mode a scan hears the demo sonobuoys; the folder for the files is blocked by a plain
// file of its name (which stops root as well). The operator is told once, the scan and the list go
// on, and once the folder can be made the next hit is written.
TEST_F(ActivityControllerTest, AFolderThatCannotBeWrittenIsToldOnceAndStopsNeitherScanNorList) {
    Start();
    activity_->SetRecordHits(0, true);  // a scan records nothing: it hears every channel
    QFile obstacle(ActivityFolder());
    ASSERT_TRUE(obstacle.open(QIODevice::WriteOnly));
    obstacle.close();
    scans_->Command(0, InxScanView::kModeScan);
    ASSERT_TRUE(PumpUntil([&] { return activity_->Model().rowCount() >= 2; }, 15s));
    scans_->Command(0, InxScanView::kModePause);  // closes them, unwritten
    EXPECT_EQ(notices_.told.size(), 1) << notices_.told.join('\n').toStdString();
    EXPECT_TRUE(notices_.told[0].contains(ActivityFolder()));
    scans_->Command(0, InxScanView::kModeScan);
    const std::size_t sweepsBefore = sweeps_.sweepStarts.size();
    ASSERT_TRUE(PumpUntil([&] { return sweeps_.sweepStarts.size() > sweepsBefore; }, 15s))
        << "the scan goes on";
    ASSERT_TRUE(PumpUntil([&] { return activity_->Model().rowCount() >= 4; }, 15s));
    ASSERT_TRUE(QFile::remove(ActivityFolder()));
    scans_->Stop(0);
    EXPECT_EQ(notices_.told.size(), 1);
    const std::vector<Row> rows = ReadRows(DayFile(QDateTime::currentMSecsSinceEpoch()));
    EXPECT_GE(rows.size(), 1U);
    for (const Row& row : rows) {
        EXPECT_EQ(row.fields[9], QStringLiteral("stopped"));
        EXPECT_EQ(row.fields[3], QStringLiteral("DEMO"));
        EXPECT_TRUE(row.fields[10].isEmpty());
    }
    EXPECT_TRUE(QDir(ActivityFolder()).entryList({QStringLiteral("*.wav")}).isEmpty());
}

TEST_F(ActivityControllerTest, TheThresholdIsKeptInTheRadiosSettingsAndShownWhereverItIsDrawn) {
    now_ = 1'700'000'000'000;
    Start(TestClock());
    EXPECT_EQ(graphs_[5].thresholds, std::vector<double>{-95.0});
    EXPECT_EQ(panel_.slot, 0);
    EXPECT_EQ(panel_.threshold, -95);

    activity_->SetThreshold(0, -80.4);
    EXPECT_EQ(settings_->Receiver(0).activityThreshold, -80);
    EXPECT_EQ(graphs_[0].thresholds.back(), -80.0);
    activity_->SetThreshold(0, -200.0);
    EXPECT_EQ(activity_->GetThreshold(0), -120);
    activity_->SetThreshold(0, -10.0);
    EXPECT_EQ(panel_.threshold, -40);
    // Another receiver's threshold is not the panel's to show.
    activity_->SetThreshold(2, -85.0);
    EXPECT_EQ(panel_.threshold, -40);
    settings_->SelectReceiver(2);
    activity_->SelectSlot(2);
    EXPECT_EQ(panel_.slot, 2);
    EXPECT_EQ(panel_.threshold, -85);

    // What the detection takes: a level between the old and the new threshold.
    levels_.levels[2] = -88.0;
    Poll(2);
    EXPECT_EQ(activity_->Model().rowCount(), 0);
    activity_->SetThreshold(2, -90.0);
    Poll(1);
    EXPECT_EQ(activity_->Model().rowCount(), 1);

    activity_->SetRecordHits(2, true);
    EXPECT_EQ(settings_->Receiver(2).recordHits, 1);
    EXPECT_TRUE(panel_.recordHits);
}

// The selected receiver records its hits while it listens: each hit's audio, at its own rate, in
// a WAV file beside the day files, named in its line. Another receiver's hits are not heard.
TEST_F(ActivityControllerTest, HitsOfTheListeningSelectedReceiverAreRecordedAndNamedInTheirLines) {
    now_ = 1'700'000'000'000;
    Start(TestClock());
    activity_->SetRecordHits(0, true);
    activity_->SetRecordHits(1, true);
    settings_->Receiver(0).frequency = 142750000;
    levels_.levels[0] = -60.0;
    levels_.levels[1] = -60.0;
    Poll(1);
    CSndAudioPath::Block block;
    block.sampleRate = 48000;
    block.samples.assign(2048, 0.25f);
    for (int i = 0; i < 5; ++i) {
        activity_->OnAudioHeard(block);
    }
    levels_.levels[0] = kQuiet;
    levels_.levels[1] = kQuiet;
    Poll(15);
    activity_->OnAudioHeard(block);  // after the hit: not recorded

    const std::vector<Row> rows = ReadRows(DayFile(now_));
    ASSERT_EQ(rows.size(), 2U);
    const Row& selected = rows[0].fields[4] == QStringLiteral("1") ? rows[0] : rows[1];
    const Row& other = &selected == &rows[0] ? rows[1] : rows[0];
    EXPECT_EQ(selected.fields[10], QStringLiteral("hit-2023-11-14-22-13-20.000-ch50.wav"));
    EXPECT_TRUE(other.fields[10].isEmpty());
    QFile wav(ActivityFolder() + QLatin1Char('/') + selected.fields[10]);
    ASSERT_TRUE(wav.open(QIODevice::ReadOnly));
    const QByteArray bytes = wav.readAll();
    ASSERT_EQ(bytes.size(), 44 + 5 * 2048 * 2);
    EXPECT_EQ(bytes.mid(0, 4), QByteArray("RIFF"));
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 24), 48000U);
    EXPECT_EQ(qFromLittleEndian<qint16>(bytes.constData() + 44), 8192);

    // A recording that cannot be made is told once.
    QDir(ActivityFolder()).removeRecursively();
    QFile obstacle(ActivityFolder());
    ASSERT_TRUE(obstacle.open(QIODevice::WriteOnly));
    obstacle.close();
    for (int hit = 0; hit < 2; ++hit) {
        levels_.levels[0] = -60.0;
        Poll(1);
        activity_->OnAudioHeard(block);
        levels_.levels[0] = kQuiet;
        Poll(15);
    }
    EXPECT_EQ(notices_.told.filter(QStringLiteral("recorded")).size(), 1)
        << notices_.told.join('\n').toStdString();
}
