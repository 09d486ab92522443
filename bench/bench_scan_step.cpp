// Scan steps: simulated radios scanning the whole band in a loop, each processing thread calling
// MeasureScanStep back to back and posting each level to one window on this thread, which counts
// them. One pass of the event loop may deliver many levels; items are levels delivered.
//
// Figures per step, from the process's CPU time: cpu_per_step is everything; driver_per_step is
// what the simulated library's calls of a step cost alone (measured first, with the same radios
// and settle time, without the program); own_per_step is the difference, the program's own cost.
// With settle 0 the radios could post faster than one window thread takes levels; each waits
// while 100 of its levels are unhandled, so the scan goes at the window's pace and overruns (levels
// posted past that backlog) stay 0. With settle 1 (100 µs per step, as quick hardware) the window
// keeps pace on its own.
//
// detect 1: the window also does what the activity log does with every sample it takes: the
// receiver's slot, its threshold from the settings, the point's frequency from the receiver's
// walk, the time, and the receiver's hit detector (three sonobuoys per radio keep hits open).
// After the run, the cost of detection per step is printed for each pair of runs that differ
// only in it.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "BenchCpuTime.h"
#include "activity/CnxActivityDetector.h"
#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/InxK740RXQvkApi.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {

class CountingSink : public InxActivitySink {
public:
    long opened = 0;
    long closed = 0;
    void HitOpened(SnxActivityHit& hit) override { hit.id = uint64_t(++opened); }
    void HitClosed(const SnxActivityHit&) override { ++closed; }
};

class LevelCounter : public TmyComponent {
public:
    long levels = 0;
    // Set for runs with detection: the receivers in slot order, a detector each, their settings.
    std::vector<CnxK740RXReceiver*> receivers;
    std::vector<CnxActivityDetector> detectors;
    CnxK740RXFileIniApp* settings = nullptr;

protected:
    void OnWindowMessage(const TmyMessage& message) override {
        if (message.message == WM_RCV_SCAN_LEVEL) {
            ++levels;
            // As the main window does: the receiver counts what is still waiting, and only what
            // piles up beyond its backlog shows as overruns.
            // Every receiver message names its receiver in wParam; the sample travels in lParam.
            auto* receiver = reinterpret_cast<CnxK740RXReceiver*>(message.wParam);
            receiver->AcknowledgeScanSample();
            if (!detectors.empty()) {
                Detect(*receiver, ScanSample::Unpack(WPARAM(message.lParam)));
            }
        }
    }

private:
    void Detect(const CnxK740RXReceiver& receiver, const ScanSample& sample) {
        const auto slot = std::size_t(std::find(receivers.begin(), receivers.end(), &receiver) -
                                      receivers.begin());
        CnxActivityDetector& detector = detectors[slot];
        detector.SetThreshold(settings->Receiver(int(slot)).activityThreshold);
        detector.OnScanReading(receiver.GetScanPointFrequency(sample.point), sample.level,
                               sample.sweep, QDateTime::currentMSecsSinceEpoch());
    }
};

// own_per_step of each run (several with --benchmark_repetitions), by radios, settle and
// detection.
std::map<std::tuple<int, int, int>, std::vector<double>> g_ownPerStep;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

constexpr int kRadios = 8;
constexpr int32_t kLower = 136000000;
constexpr int32_t kUpper = 173500000;
constexpr int32_t kStep = 375000;

QByteArray Serial(int index) {
    return "B" + QByteArray::number(index + 1);
}

// Eight radios with a few sonobuoys on the air, described to the simulated library.
bool DescribeRadios(const QTemporaryDir& folder) {
    const QString path = folder.filePath("radios.ini");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (int index = 0; index < kRadios; ++index) {
        file.write("[radio" + QByteArray::number(index) + "]\nserial = " + Serial(index) +
                   "\nproduct = K7USB\n");
    }
    file.write("[signals]\n142750000 = -60\n154000000 = -70\n162250000 = -80\n");
    file.close();
    qputenv("QVK740RX_SIM", path.toLocal8Bit());
    return true;
}

// The library calls a scanning processing thread makes per step, in as many threads, for a while.
double DriverCpuPerStep(int radios, int settle) {
    InxK740RXQvkApi api("QVK740RXAPI.dll");
    std::atomic<bool> stop{false};
    std::atomic<long> steps{0};
    std::vector<std::thread> threads;
    const double cpuBefore = ProcessCpuSeconds();
    for (int index = 0; index < radios; ++index) {
        threads.emplace_back([&, index] {
            const K7Handle radio = api.K7Open(Serial(index).constData());
            api.SetPower(radio, 1);
            long done = 0;
            for (int32_t hertz = kLower; !stop; ++done) {
                hertz = hertz + kStep > kUpper ? kLower : hertz + kStep;
                api.IsDeviceConnected(radio);
                api.K7SetFreqPipelined(radio, hertz, 0, settle);
                int32_t level = 0;
                uint8_t raw = 0;
                int32_t rssi = 0;
                int32_t agc = 0;
                api.K7GetSSPipelined(radio, &level, &raw, &rssi, &agc);
            }
            api.CloseRadioDevice(radio);
            steps += done;
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    stop = true;
    for (auto& thread : threads) {
        thread.join();
    }
    return (ProcessCpuSeconds() - cpuBefore) / double(steps);
}

bool StartScanning(CnxK740RXReceiver& receiver, const QByteArray& serial) {
    if (receiver.OpenBySerial(serial.constData()) == nullptr) {
        return false;
    }
    receiver.SetPower(1, true);
    receiver.StopStreams();  // the steps alone: no audio
    receiver.SetFrequencyLimits(kLower, kUpper);
    receiver.SetScanStep(kStep, true);
    receiver.SetScanLower(kLower, true);
    receiver.SetScanUpper(kUpper, true);
    receiver.SetScanLoop(true);
    receiver.StartScan();
    return true;
}

void BM_ScanStep(benchmark::State& state) {
    const int radios = int(state.range(0));
    const int settle = int(state.range(1));
    const bool detect = state.range(2) != 0;
    const double driverPerStep = DriverCpuPerStep(radios, settle);
    g_optSettle1 = {true, settle};
    g_optSettle2 = {true, settle};

    CnxK740RXFileIniApp settings;
    LevelCounter window;
    std::vector<std::unique_ptr<CnxK740RXReceiver>> receivers;
    for (int index = 0; index < radios; ++index) {
        receivers.push_back(std::make_unique<CnxK740RXReceiver>("QVK740RXAPI.dll", &settings,
                                                                window.GetHandle(), nullptr));
        if (!StartScanning(*receivers.back(), Serial(index))) {
            state.SkipWithError("a simulated radio did not open");
            return;
        }
    }
    CountingSink sink;
    if (detect) {
        window.settings = &settings;
        for (int index = 0; index < radios; ++index) {
            window.receivers.push_back(receivers[size_t(index)].get());
            window.detectors.emplace_back(index, sink);
        }
    }
    long delivered = 0;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        const long before = window.levels;
        while (window.levels == before) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        delivered += window.levels - before;
    }
    const double cpuPerStep = (ProcessCpuSeconds() - cpuBefore) / double(delivered);
    // Counted before the stops: while one receiver stops, nothing takes the others' levels.
    uint32_t overruns = 0;
    for (const auto& receiver : receivers) {
        overruns += receiver->GetScanOverruns();
    }
    for (const auto& receiver : receivers) {
        receiver->StopScan();
    }
    state.SetItemsProcessed(delivered);
    state.counters["cpu_per_step"] = cpuPerStep;
    state.counters["driver_per_step"] = driverPerStep;
    state.counters["own_per_step"] = cpuPerStep - driverPerStep;
    state.counters["overruns"] = overruns;
    if (detect) {
        // Checked, not only timed: once a sweep has passed, each radio's sonobuoys are hits.
        state.counters["hits_open"] = double(sink.opened - sink.closed);
        if (delivered > 2 * 99 * radios && sink.opened < radios) {
            state.SkipWithError("detection found fewer hits than radios");
        }
    }
    // The framework's first short runs that size the real ones are too short to count.
    if (delivered >= 1000L * radios) {
        g_ownPerStep[{radios, settle, detect ? 1 : 0}].push_back(cpuPerStep - driverPerStep);
    }
}
BENCHMARK(BM_ScanStep)
    ->ArgNames({"radios", "settle", "detect"})
    ->ArgsProduct({{1, kRadios}, {0, 1}, {0, 1}})
    ->UseRealTime()
    ->MinTime(2.0);

// What detection adds to the program's own cost of a step, for each pair of runs that differ only
// in it: the medians over the repetitions (this machine's speed varies from run to run; run with
// --benchmark_repetitions=N --benchmark_enable_random_interleaving=true to compare them fairly).
void PrintDetectionCost() {
    for (const auto& [key, own] : g_ownPerStep) {
        const auto [radios, settle, detect] = key;
        const auto without = g_ownPerStep.find({radios, settle, 0});
        if (detect == 1 && without != g_ownPerStep.end()) {
            const double off = Median(without->second);
            const double on = Median(own);
            std::printf(
                "radios %d settle %d (median of %zu runs): own per step %.3f us without "
                "detection, %.3f us with; detection adds %.3f us\n",
                radios, settle, own.size(), off * 1e6, on * 1e6, (on - off) * 1e6);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir home;
    if (!home.isValid() || !DescribeRadios(home)) {
        return 1;
    }
    // Settings go to a scratch folder.
    qputenv("HOME", home.path().toLocal8Bit());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintDetectionCost();
    return 0;
}
