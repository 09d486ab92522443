// Feeds arbitrary bytes to the program as its settings file, in memory. Loading must survive
// anything, what one run saves must be exactly what the next run loads, and saving what was loaded
// again changes nothing.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>

#include "settings/CnxK740RXFileIniApp.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

auto Fields(const SnxK740RXReceiverSettings& r) {
    return std::tuple(r.productName, r.serialNumber, r.power.load(), r.atten.load(),
                      r.preamp.load(), r.frequency.load(), r.ledStatus.load(), r.mute.load(),
                      r.volume.load(), r.volumeMin.load(), r.volumeMax.load(), r.loop.load(),
                      r.stepChannel.load(), r.showHideLabels.load(), r.sMeterCal.load(), r.scan);
}

auto Fields(const SnxWindowPlacement& p) {
    return std::tuple(p.length, p.flags, p.showCmd, p.minX, p.minY, p.maxX, p.maxY, p.left, p.top,
                      p.right, p.bottom);
}

struct Snapshot {
    SnxWindowPlacement placement;
    std::array<SnxK740RXReceiverSettings, CnxK740RXFileIniApp::kReceiverCount> receivers;

    explicit Snapshot(CnxK740RXFileIniApp& settings) : placement(settings.Placement()) {
        for (int index = 0; index < CnxK740RXFileIniApp::kReceiverCount; ++index) {
            receivers[index] = settings.Receiver(index);
        }
    }
    bool operator==(const Snapshot& other) const {
        for (int index = 0; index < CnxK740RXFileIniApp::kReceiverCount; ++index) {
            if (Fields(receivers[index]) != Fields(other.receivers[index])) {
                return false;
            }
        }
        return Fields(placement) == Fields(other.placement);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Odd sizes save like a run with receivers, even ones like a run without hardware.
    const bool noHardware = size % 2 == 0;
    std::string saved(reinterpret_cast<const char*>(data), size);
    std::optional<Snapshot> loaded;
    {
        CnxK740RXFileIniApp settings(saved);
        settings.SetNoHardware(noHardware);
        settings.SelectReceiver(int(size % 8));
        settings.SelectReceiver(0);
        loaded.emplace(settings);
    }  // saved here
    std::string again = saved;
    {
        CnxK740RXFileIniApp reloaded(again);
        Require(Snapshot(reloaded) == *loaded);
        reloaded.SetNoHardware(noHardware);
    }
    Require(again == saved);
    return 0;
}
