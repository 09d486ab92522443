// Feeds arbitrary bytes to the program as its settings file. Loading must survive anything, and
// what one run saves must be exactly what the next run loads.
#include <stdlib.h>

#include <QtGlobal>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>

#include "settings/CnxK740RXFileIniApp.h"

namespace {

std::string g_home;
std::string g_settingsFile;

void RemoveHome() {
    std::error_code ignored;
    std::filesystem::remove_all(g_home, ignored);
}

auto Fields(const SnxK740RXReceiverSettings& r) {
    return std::tuple(r.productName, r.serialNumber, r.power.load(), r.atten.load(),
                      r.preamp.load(), r.frequency.load(), r.ledStatus.load(), r.mute.load(),
                      r.volume.load(), r.volumeMin.load(), r.volumeMax.load(), r.loop.load(),
                      r.stepChannel.load(), r.showHideLabels.load(), r.sMeterCal.load());
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

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where possible: every save waits for the disk otherwise.
    g_home = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    g_home += "/k740-fuzz-settings-XXXXXX";
    if (mkdtemp(g_home.data()) == nullptr) {
        std::abort();
    }
    std::atexit(RemoveHome);
    qputenv("HOME", g_home.c_str());
    qunsetenv("XDG_CONFIG_HOME");
    const std::string folder = g_home + "/Documents/Quorvant/K740RX";
    std::filesystem::create_directories(folder);
    g_settingsFile = folder + "/K740RX.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(g_settingsFile, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));

    std::optional<Snapshot> saved;
    {
        CnxK740RXFileIniApp settings;
        // Odd sizes save like a run with receivers, even ones like a run without hardware.
        settings.SetNoHardware(size % 2 == 0);
        settings.SelectReceiver(size % 8);
        settings.SelectReceiver(0);
        saved.emplace(settings);
    }
    CnxK740RXFileIniApp reloaded;
    if (!(Snapshot(reloaded) == *saved)) {
        std::abort();
    }
    return 0;
}
