// Scan steps per second: a real (simulated) radio scanning the whole band in a loop with settle
// time 0, its processing thread calling MeasureScanStep back to back and posting each level to a
// window on this thread. One iteration is one level delivered.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
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
        }
    }
};

// One radio with a few sonobuoys on the air, described to the simulated library.
bool DescribeRadio(const QTemporaryDir& folder) {
    const QString path = folder.filePath("radios.ini");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(
        "[radio0]\nserial = B1\nproduct = K7USB\n"
        "[signals]\n142750000 = -60\n154000000 = -70\n162250000 = -80\n");
    file.close();
    qputenv("QVK740RX_SIM", path.toLocal8Bit());
    return true;
}

void BM_ScanStep(benchmark::State& state) {
    CnxK740RXFileIniApp settings;
    LevelCounter window;
    CnxK740RXReceiver receiver("QVK740RXAPI.dll", &settings, window.GetHandle(), nullptr);
    if (receiver.OpenBySerial("B1") == nullptr) {
        state.SkipWithError("the simulated radio did not open");
        return;
    }
    receiver.SetPower(1, true);
    receiver.SetFrequencyLimits(136000000, 173500000);
    receiver.SetScanStep(375000, true);
    receiver.SetScanLower(136000000, true);
    receiver.SetScanUpper(173500000, true);
    receiver.SetScanLoop(true);
    receiver.StartScan();

    for (auto _ : state) {
        const long target = window.levels + 1;
        while (window.levels < target) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    state.SetItemsProcessed(state.iterations());
    receiver.StopScan();
}
BENCHMARK(BM_ScanStep)->UseRealTime()->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir home;
    if (!home.isValid() || !DescribeRadio(home)) {
        return 1;
    }
    // Settings go to a scratch folder; the scan takes its settle times from the options.
    qputenv("HOME", home.path().toLocal8Bit());
    g_optSettle1 = {true, 0};
    g_optSettle2 = {true, 0};

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
