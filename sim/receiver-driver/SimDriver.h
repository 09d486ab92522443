#pragma once
// The simulated driver behind the library's exports: the open handles, the radios of the
// simulation file, the signal environment and the audio streams. Every public operation takes the
// one lock over this state; none holds it while sleeping or while calling the program's stream
// callback, so the program's window thread and processing thread can call in at the same time.
#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "SimAudioStream.h"
#include "SimRadioState.h"
#include "SimSetupFile.h"
#include "receiver/K740RXDriverApi.h"

class SimDriver {
public:
    static constexpr size_t kMaxHandles = 64;
    static constexpr size_t kEepromBytes = 256;
    static constexpr int32_t kMaxSettle = 10'000;  // in 100 µs units: one second

    // Which calibration area of the EEPROM a write goes to.
    enum class CalibrationArea { First, Second };

    static SimDriver& instance();
    ~SimDriver();
    SimDriver(const SimDriver&) = delete;
    SimDriver& operator=(const SimDriver&) = delete;

    K7Handle open(const char* serial);
    K7Handle openListed(int32_t listIndex);
    int32_t close(K7Handle handle);
    int32_t listRadios(RadioInfo* list, uint32_t bufferBytes, uint32_t* count);
    int32_t isConnected(K7Handle handle);

    // Runs `action` on the state of a handle that is open and plugged in, under the lock, and
    // returns its result; 0 for any other handle.
    template <typename Action>
    int32_t withRadio(K7Handle handle, Action&& action) {
        std::lock_guard lock(mutex_);
        SimRadioState* radio = usableRadio(handle);
        return radio ? action(*radio) : 0;
    }

    // As withRadio, for actions that also need the radio's identity from the file.
    template <typename Action>
    int32_t withIdentity(K7Handle handle, Action&& action) {
        return withRadio(handle, [&](SimRadioState& radio) {
            const SimRadio* about = identity(radio);
            return about ? action(radio, *about) : 0;
        });
    }

    // A fresh measurement at the tuned frequency, or the last one taken.
    std::optional<SimReading> measure(K7Handle handle);
    std::optional<SimReading> lastReading(K7Handle handle);

    int32_t tunePipelined(K7Handle handle, int32_t hertz, int32_t firstOfPass, int32_t settle);
    int32_t readPipelined(K7Handle handle, int32_t* tenthsDbm, uint8_t* raw, int32_t* rssi,
                          int32_t* agc);
    int32_t tuneAsync(K7Handle handle, int32_t hertz);
    int32_t waitTune(K7Handle handle);

    int32_t readEeprom(K7Handle handle, uint8_t* buffer);
    int32_t writeCalibration(K7Handle handle, CalibrationArea area, const uint8_t* data,
                             int32_t size);
    int32_t describe(K7Handle handle, char* text, int32_t size);
    int32_t debugText(K7Handle handle, char* text, int32_t size);

    uint32_t setupStreams(K7Handle handle, K7StreamCallback callback, void* context);

private:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kCalibrationBytes = 64;
    using Calibration = std::array<uint8_t, 2 * kCalibrationBytes>;

    SimDriver() = default;

    K7Handle allocate(const std::string& serial, bool extended);
    std::shared_ptr<SimRadioState>* slot(K7Handle handle);
    SimRadioState* usableRadio(K7Handle handle);
    const SimRadio* identity(const SimRadioState& radio);
    bool attached(const SimRadioState& radio);
    std::span<const SimSignal> signalsFor(const SimRadioState& radio);
    SimReading measureAt(SimRadioState& radio, std::span<const SimSignal> signals, int32_t hertz);
    SimAudioConditions audioConditions(SimRadioState& radio);
    uint64_t seed(K7Handle handle) const;
    double seconds() const;

    std::mutex mutex_;
    const Clock::time_point start_ = Clock::now();
    SimSetupFile setupFile_;
    std::array<std::shared_ptr<SimRadioState>, kMaxHandles> radios_;  // handle - 1
    std::array<std::unique_ptr<SimAudioStream>, kMaxHandles> streams_;
    std::vector<SimSignal> onAir_;  // the signals heard now; valid until the next signalsFor
    std::map<std::string, Calibration> calibrations_;  // by serial: kept while closed, as an EEPROM
    uint32_t nextStreamId_ = 1;
};
