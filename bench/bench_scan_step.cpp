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
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "BenchCpuTime.h"
#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/InxK740RXQvkApi.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxK740RXFileIniApp.h"

namespace {

class LevelCounter : public TmyComponent {
public:
    long levels = 0;

protected:
    void OnWindowMessage(const TmyMessage& message) override {
        if (message.message == WM_RCV_SCAN_LEVEL) {
            ++levels;
            // As the main window does: the receiver counts what is still waiting, and only what
            // piles up beyond its backlog shows as overruns.
            reinterpret_cast<CnxK740RXReceiver*>(message.lParam)->AcknowledgeScanSample();
        }
    }
};

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
}
BENCHMARK(BM_ScanStep)
    ->ArgNames({"radios", "settle"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({kRadios, 0})
    ->Args({kRadios, 1})
    ->UseRealTime()
    ->MinTime(2.0);

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
    return 0;
}
