// What a scan plan buys: a simulated radio at its default settle time scans through the scan
// controller, as the window runs it, and the levels come back through the window thread.
//
// BM_Sweep: one iteration is one sweep, timed from the first level of a sweep to the first of the
// next. plan 0 is the whole band (99 channels), plan 1 a pattern of twelve channels (50-61);
// sweeps_per_s says how often each is swept, and the twelve-channel plan prints how many times as
// often as the band (as_often_as_band, from the band's run just before).
// BM_PriorityRevisit: the whole band with channel 55 as priority channel, after every 8 other
// steps; one iteration is one visit of it. max_steps_between counts the steps from one of its
// visits to the next (9 when 8 others come between), revisit_ms their time.
//
// Every run checks what it measured: each sweep holds exactly the plan's points, and the priority
// channel's level (a sonobuoy there) is found at its own point and nowhere else.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "app/CnxScanController.h"
#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"
#include "scanner/InxScanView.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "settings/SnxScanPlan.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPriorityChannel = 55;
constexpr double kSonobuoyDbm = -62.0;

struct Arrival {
    ScanSample sample;
    Clock::time_point at;
};

// Takes the levels of the shown run, with the time each came to the window thread.
class ArrivalView : public InxScanView {
public:
    std::vector<Arrival> arrivals;

    void ShowScan(int32_t, uint16_t run) override { run_ = run; }
    void ShowLoop(bool) override {}
    void ShowPlan(const SnxScanPlan&, bool) override {}
    bool ShowWalk(const CnxScanStepper&) override { return true; }
    bool ShowSample(const ScanSample& sample) override {
        if (run_ == 0 || sample.run != run_) {
            return false;
        }
        arrivals.push_back({sample, Clock::now()});
        return true;
    }
    void ScrollBy(int) override {}

private:
    uint16_t run_ = 0;
};

// The window's part: the receivers' scan messages go to the scan controller.
class ScanWindow : public TmyComponent {
public:
    CnxScanController* scans = nullptr;

protected:
    void OnWindowMessage(const TmyMessage& m) override {
        if (scans != nullptr) {
            scans->OnScanMessage(m);
        }
    }
};

// One simulated radio in slot 0, scanned by the controller.
class ScanBench {
public:
    ScanBench() : settings_(std::make_unique<CnxK740RXFileIniApp>()) {
        manager_ = std::make_unique<CnxK740RX_ReceiverManager>(
            1, settings_.get(), window_.GetHandle(), nullptr, nullptr);
        manager_->CloseAll();
        manager_->Accept();
        manager_->SetSelected(0);
        settings_->SelectReceiver(0);
        scans_ = std::make_unique<CnxScanController>(*settings_, *manager_, nullptr);
        window_.scans = scans_.get();
        scans_->SetView(0, &view_);
        scans_->SetLoop(0, true);
    }
    ~ScanBench() {
        scans_->Stop(0);
        window_.scans = nullptr;
    }

    bool HasRadio() const {
        return manager_->GetReceiver(0) != nullptr && !manager_->GetReceiver(0)->IsDemo();
    }
    void Scan(const SnxScanPlan& plan) {
        scans_->Stop(0);
        scans_->SetPlan(0, plan);
        view_.arrivals.clear();
        scans_->Command(0, InxScanView::kModeScan);
    }
    // Waits for the next level; nothing when none comes within a few seconds.
    std::optional<Arrival> Next() {
        const auto limit = Clock::now() + std::chrono::seconds(5);
        while (taken_ >= view_.arrivals.size() && Clock::now() < limit) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
        if (taken_ >= view_.arrivals.size()) {
            return std::nullopt;
        }
        return view_.arrivals[taken_++];
    }
    void Restart() { taken_ = 0; }
    int PointCount() const { return scans_->Walk(0).GetPointCount(); }
    int PointOf(int channel) const {
        return scans_->Walk(0).IndexOf(*CnxChannelPlan::FrequencyOfChannel(channel));
    }

private:
    ScanWindow window_;
    std::unique_ptr<CnxK740RXFileIniApp> settings_;
    std::unique_ptr<CnxK740RX_ReceiverManager> manager_;
    std::unique_ptr<CnxScanController> scans_;
    ArrivalView view_;
    std::size_t taken_ = 0;
};

ScanBench* g_bench = nullptr;
double g_bandSweepSeconds = 0.0;

SnxScanPlan TwelveChannels() {
    SnxScanPlan plan;
    plan.lower = *CnxChannelPlan::FrequencyOfChannel(50);
    plan.upper = *CnxChannelPlan::FrequencyOfChannel(61);
    return plan;
}

// The first level of the next sweep after `sweep`, the levels on the way collected.
std::optional<Arrival> SweepAfter(uint32_t sweep, std::set<int>* points) {
    while (const std::optional<Arrival> next = g_bench->Next()) {
        if (next->sample.sweep > sweep) {
            return next;
        }
        if (points != nullptr) {
            points->insert(next->sample.point);
        }
    }
    return std::nullopt;
}

void BM_Sweep(benchmark::State& state) {
    const bool twelve = state.range(0) == 1;
    g_bench->Scan(twelve ? TwelveChannels() : SnxScanPlan());
    g_bench->Restart();
    // The first sweep starts the pipeline: timing begins with the second.
    std::optional<Arrival> start = SweepAfter(0, nullptr);
    double total = 0.0;
    for (auto _ : state) {
        std::set<int> points;
        const std::optional<Arrival> end =
            start ? SweepAfter(start->sample.sweep, &points) : std::nullopt;
        if (!end) {
            state.SkipWithError("the scan stopped delivering levels");
            return;
        }
        points.insert(start->sample.point);
        if (int(points.size()) != g_bench->PointCount()) {
            state.SkipWithError("a sweep did not measure exactly the plan's points");
            return;
        }
        const double seconds = std::chrono::duration<double>(end->at - start->at).count();
        state.SetIterationTime(seconds);
        total += seconds;
        start = end;
    }
    const double sweep = total / double(state.iterations());
    state.counters["points"] = g_bench->PointCount();
    state.counters["sweep_ms"] = sweep * 1e3;
    state.counters["sweeps_per_s"] = 1.0 / sweep;
    if (!twelve) {
        g_bandSweepSeconds = sweep;
    } else if (g_bandSweepSeconds > 0.0) {
        state.counters["as_often_as_band"] = g_bandSweepSeconds / sweep;
    }
}
// The band first: the twelve channels' run compares itself with it.
BENCHMARK(BM_Sweep)
    ->ArgName("twelve_channels")
    ->Arg(0)
    ->Iterations(5)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sweep)
    ->ArgName("twelve_channels")
    ->Arg(1)
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_PriorityRevisit(benchmark::State& state) {
    SnxScanPlan plan;
    plan.priority = kPriorityChannel;
    plan.priorityEvery = 8;
    g_bench->Scan(plan);
    g_bench->Restart();
    const int priority = g_bench->PointOf(kPriorityChannel);
    const auto nextPriority = [priority](int* steps) -> std::optional<Arrival> {
        *steps = 0;
        while (const std::optional<Arrival> next = g_bench->Next()) {
            ++*steps;
            const bool strong = next->sample.HasLevel() && next->sample.level > kSonobuoyDbm - 10;
            if ((next->sample.point == priority) != strong) {
                return std::nullopt;  // the sonobuoy's level filed under another point
            }
            if (next->sample.point == priority) {
                return next;
            }
        }
        return std::nullopt;
    };
    int steps = 0;
    std::optional<Arrival> last = nextPriority(&steps);
    int most = 0;
    double total = 0.0;
    for (auto _ : state) {
        const std::optional<Arrival> visit = last ? nextPriority(&steps) : std::nullopt;
        if (!visit) {
            state.SkipWithError("the priority channel's level was not where it belongs");
            return;
        }
        const double seconds = std::chrono::duration<double>(visit->at - last->at).count();
        state.SetIterationTime(seconds);
        total += seconds;
        most = std::max(most, steps);
        last = visit;
    }
    state.counters["max_steps_between"] = most;
    state.counters["revisit_ms"] = total / double(state.iterations()) * 1e3;
}
BENCHMARK(BM_PriorityRevisit)->Iterations(100)->UseManualTime()->Unit(benchmark::kMillisecond);

// One radio, one sonobuoy on the priority channel, described to the simulated library.
bool DescribeRadio(const QTemporaryDir& folder) {
    const QString path = folder.filePath("radios.ini");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write("[radio0]\nserial = P1\nproduct = K7USB\n[signals]\n" +
               QByteArray::number(*CnxChannelPlan::FrequencyOfChannel(kPriorityChannel)) + " = " +
               QByteArray::number(kSonobuoyDbm) + "\n");
    file.close();
    qputenv("QVK740RX_SIM", path.toLocal8Bit());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir home;
    if (!home.isValid() || !DescribeRadio(home)) {
        return 1;
    }
    qputenv("HOME", home.path().toLocal8Bit());  // settings go to a scratch folder
    ScanBench bench;
    if (!bench.HasRadio()) {
        return 1;
    }
    g_bench = &bench;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_bench = nullptr;
    return 0;
}
