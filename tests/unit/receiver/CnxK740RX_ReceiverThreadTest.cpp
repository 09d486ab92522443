#include "receiver/CnxK740RX_ReceiverThread.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>
#include <set>
#include <string>
#include <vector>

#include "LogCapture.h"
#include "ReceiverTestSupport.h"
#include "receiver/CnxK740RXReceiver.h"

namespace {

class CnxK740RX_ReceiverThreadTest : public ReceiverTest {
protected:
    static void ScanLooping(CnxK740RXReceiver& receiver) {
        receiver.SetScanLoop(true);
        receiver.StartScan();
    }

    static std::string EndLine(K7Handle handle) {
        return "Processing thread for receiver " + std::to_string(handle) + " ENDED.";
    }

    int Levels() const { return window_->Count(WM_RCV_SCAN_LEVEL); }

    // The kernel's ids of this process's threads.
    // The program's own threads only: a sanitizer starts helper threads of its own.
    static std::set<std::string> ThreadIds() {
        const QStringList ids =
            QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::set<std::string> result;
        for (const QString& id : ids) {
            QFile name("/proc/self/task/" + id + "/comm");
            if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith("k740rx-")) {
                result.insert(id.toStdString());
            }
        }
        return result;
    }

    // Context switches, voluntary or not, of the given threads so far.
    static long ContextSwitches(const std::set<std::string>& ids) {
        long total = 0;
        for (const std::string& id : ids) {
            QFile status(QString::fromStdString("/proc/self/task/" + id + "/status"));
            if (!status.open(QIODevice::ReadOnly)) {
                continue;
            }
            for (const QByteArray& line : status.readAll().split('\n')) {
                if (line.contains("ctxt_switches:")) {
                    total += line.mid(line.indexOf(':') + 1).trimmed().toLong();
                }
            }
        }
        return total;
    }
    int ConnectionMessages() const { return window_->Count(WM_RCV_CONNECTION); }
};

}  // namespace

TEST_F(CnxK740RX_ReceiverThreadTest, AnIdleThreadRunsUntilStoppedAndWithoutAReceiverEndsSilently) {
    LogCapture log("k740.receiver");
    CnxK740RX_ReceiverThread empty(nullptr, window_->GetHandle());
    ASSERT_TRUE(empty.Start());
    EXPECT_TRUE(PumpUntil([&] { return !empty.IsRunning(); }));
    EXPECT_FALSE(log.AnyContains("ENDED"));

    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenByIndex(0), nullptr);
    CnxK740RX_ReceiverThread thread(receiver.get(), window_->GetHandle());
    ASSERT_TRUE(thread.Start());
    PumpFor(100ms);
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_EQ(Levels(), 0);

    EXPECT_TRUE(thread.Stop());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_EQ(log.CountStartingWith(EndLine(receiver->GetHandle())), 1u);
}

TEST_F(CnxK740RX_ReceiverThreadTest, ClosingTheReceiverEndsItsThread) {
    LogCapture log("k740.receiver");
    auto receiver = StartedReceiver(nullptr);
    ScanLooping(*receiver);
    ASSERT_TRUE(PumpUntil([&] { return Levels() >= 2; }));
    const K7Handle handle = receiver->GetHandle();

    EXPECT_FALSE(receiver->Close());
    EXPECT_EQ(log.CountStartingWith(EndLine(handle)), 1u);
    const int levels = Levels();
    PumpFor(200ms);
    EXPECT_EQ(Levels(), levels);
}

TEST_F(CnxK740RX_ReceiverThreadTest, AReceiverThatBecameDemoBesideListedRadiosKeepsScanning) {
    DescribeRadios({{"A1"}, {"B2"}});
    LogCapture log("k740.receiver");
    // A real radio lost and replaced by a simulated one, as the window's "Demo" does.
    auto receiver = StartedReceiver("A1");
    receiver->StandInForLostRadio();
    ScanLooping(*receiver);
    ASSERT_TRUE(PumpUntil([&] { return Levels() >= 20; })) << Levels();
    EXPECT_EQ(log.CountStartingWith(EndLine(receiver->GetHandle())), 0u);
    // It reports the demo signals, not the radio's.
    bool sawDemoSignal = false;
    const std::vector<int64_t> frequencies = window_->Frequencies();
    const std::vector<ScanSample> samples = window_->Samples();
    for (std::size_t i = 0; i < samples.size(); ++i) {
        sawDemoSignal |= frequencies[i] == 142750000 && samples[i].level == -60.0;
    }
    EXPECT_TRUE(sawDemoSignal);
    receiver->StopScan();
}

TEST_F(CnxK740RX_ReceiverThreadTest, UnplugDuringAScanIsReportedOnceAndReplugResumesIt) {
    DescribeRadios({{"A1"}});
    auto receiver = StartedReceiver("A1");
    ScanLooping(*receiver);
    ASSERT_TRUE(PumpUntil([&] { return Levels() >= 5; }));

    DescribeRadios({{"A1", "K7USB", false}});
    ASSERT_TRUE(PumpUntil([&] { return ConnectionMessages() == 1; }));
    EXPECT_EQ(window_->Of(WM_RCV_CONNECTION).front().lParam, 0);
    PumpFor(100ms);
    const int levelsWhileUnplugged = Levels();
    PumpFor(400ms);
    EXPECT_EQ(Levels(), levelsWhileUnplugged);
    EXPECT_EQ(ConnectionMessages(), 1);
    EXPECT_TRUE(receiver->IsScanning());

    DescribeRadios({{"A1"}});
    ASSERT_TRUE(PumpUntil([&] { return ConnectionMessages() == 2; }));
    EXPECT_EQ(window_->Of(WM_RCV_CONNECTION).back().lParam, 1);
    EXPECT_TRUE(PumpUntil([&] { return Levels() >= levelsWhileUnplugged + 5; }));
    EXPECT_EQ(ConnectionMessages(), 2);
    receiver->StopScan();
    // A read that failed as the radio went carries no level: never the bottom of the scale.
    for (const ScanSample& sample : window_->Samples()) {
        if (sample.HasLevel()) {
            EXPECT_GT(sample.level, -129.95) << "at point " << sample.point;
        }
    }
}

TEST_F(CnxK740RX_ReceiverThreadTest, IdleThreadsSleepUntilAScanStarts) {
    DescribeRadios({{"A1"}});
    auto receiver = NewReceiver();
    ASSERT_NE(receiver->OpenBySerial("A1"), nullptr);
    const std::set<std::string> before = ThreadIds();
    constexpr int kThreads = 4;
    std::vector<std::unique_ptr<CnxK740RX_ReceiverThread>> threads;
    for (int i = 0; i < kThreads; ++i) {
        threads.push_back(
            std::make_unique<CnxK740RX_ReceiverThread>(receiver.get(), window_->GetHandle()));
        ASSERT_TRUE(threads.back()->Start());
    }
    std::set<std::string> ours;
    for (const std::string& id : ThreadIds()) {
        if (!before.contains(id)) {
            ours.insert(id);
        }
    }
    ASSERT_EQ(ours.size(), static_cast<size_t>(kThreads));

    // Polling every 5 ms would switch each thread about a hundred times in half a second.
    const long switchesBefore = ContextSwitches(ours);
    QThread::msleep(500);
    EXPECT_LT(ContextSwitches(ours) - switchesBefore, 4 * kThreads);
    for (auto& thread : threads) {
        EXPECT_TRUE(thread->IsRunning());
    }
    threads.clear();  // waiting threads still end when asked
}
