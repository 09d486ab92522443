#include "SimDriver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <thread>

namespace {

constexpr int32_t kStandardTopHz = 173'500'000;
constexpr int32_t kExtendedTopHz = 225'000'000;
constexpr int32_t kBottomHz = 136'000'000;
constexpr auto kAsyncTuneTime = std::chrono::milliseconds(2);
constexpr auto kSettleUnit = std::chrono::microseconds(100);

// EEPROM layout (little-endian numbers).
constexpr size_t kEepromSerial = 4;
constexpr size_t kEepromProduct = 13;
constexpr size_t kEepromFirmware = 22;
constexpr size_t kEepromHardware = 26;
constexpr size_t kEepromBottom = 64;
constexpr size_t kEepromTop = 72;
constexpr size_t kEepromCalibration = 128;

const SimRadio kDemoRadio{"DEMO", "DEMO", false, true, 0x0102, 3};

void putU32(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void putName(char* destination, const std::string& name) {
    std::strncpy(destination, name.c_str(), 8);
    destination[8] = '\0';
}

RadioInfo listEntry(const SimRadio& radio) {
    RadioInfo info{};
    info.length = sizeof(RadioInfo);
    putName(info.serial, radio.serial);
    putName(info.productName, radio.product);
    info.valueA = radio.firmware;
    info.valueB = radio.hardware;
    return info;
}

bool fitsText(const char* text, int32_t size) {
    return text != nullptr && size > 0;
}

}  // namespace

SimDriver& SimDriver::instance() {
    static SimDriver driver;
    return driver;
}

// Runs when the library is unloaded or the process ends: no stream thread may outlive the code.
SimDriver::~SimDriver() {
    std::array<std::unique_ptr<SimAudioStream>, kMaxHandles> running;
    {
        std::lock_guard lock(mutex_);
        std::swap(running, streams_);
    }
}

K7Handle SimDriver::open(const char* serial) {
    if (serial == nullptr) {
        return 0;
    }
    std::lock_guard lock(mutex_);
    if (kDemoRadio.serial == serial) {
        return allocate(kDemoRadio.serial, false);
    }
    const SimRadio* radio = setupFile_.current(true).findRadio(serial);
    return radio && radio->connected ? allocate(radio->serial, radio->extended) : 0;
}

K7Handle SimDriver::openListed(int32_t listIndex) {
    std::lock_guard lock(mutex_);
    const std::vector<const SimRadio*> attached = setupFile_.current(true).attachedRadios();
    if (listIndex < 0 || static_cast<size_t>(listIndex) >= attached.size()) {
        return 0;
    }
    const SimRadio& radio = *attached[static_cast<size_t>(listIndex)];
    return allocate(radio.serial, radio.extended);
}

int32_t SimDriver::close(K7Handle handle) {
    std::unique_ptr<SimAudioStream> stream;
    {
        std::lock_guard lock(mutex_);
        std::shared_ptr<SimRadioState>* radio = slot(handle);
        if (!radio) {
            return 0;
        }
        radio->reset();
        std::swap(stream, streams_[handle - 1]);
    }
    return 1;  // the stream, if any, is stopped and joined here, outside the lock
}

int32_t SimDriver::listRadios(RadioInfo* list, uint32_t bufferBytes, uint32_t* count) {
    std::lock_guard lock(mutex_);
    const std::vector<const SimRadio*> attached = setupFile_.current(true).attachedRadios();
    const size_t capacity = list ? bufferBytes / sizeof(RadioInfo) : 0;
    const size_t filled = std::min(capacity, attached.size());
    for (size_t i = 0; i < filled; ++i) {
        list[i] = listEntry(*attached[i]);
    }
    if (count) {
        *count = static_cast<uint32_t>(filled);
    }
    return static_cast<int32_t>(attached.size());
}

int32_t SimDriver::isConnected(K7Handle handle) {
    std::lock_guard lock(mutex_);
    std::shared_ptr<SimRadioState>* radio = slot(handle);
    return radio && attached(**radio) ? 1 : 0;
}

std::optional<SimReading> SimDriver::measure(K7Handle handle) {
    std::lock_guard lock(mutex_);
    SimRadioState* radio = usableRadio(handle);
    if (!radio) {
        return std::nullopt;
    }
    radio->last = measureAt(*radio, signalsFor(*radio), radio->frequency);
    return radio->last;
}

std::optional<SimReading> SimDriver::lastReading(K7Handle handle) {
    std::lock_guard lock(mutex_);
    SimRadioState* radio = usableRadio(handle);
    return radio ? std::optional(radio->last) : std::nullopt;
}

int32_t SimDriver::tunePipelined(K7Handle handle, int32_t hertz, int32_t firstOfPass,
                                 int32_t settle) {
    {
        std::lock_guard lock(mutex_);
        SimRadioState* radio = usableRadio(handle);
        if (!radio || hertz <= 0) {
            return 0;
        }
        // The radio measured where it stands now, whoever tuned it there; the first tune of a pass
        // throws that away.
        radio->pipelinePending =
            firstOfPass ? std::nullopt
                        : std::optional(measureAt(*radio, signalsFor(*radio), radio->frequency));
        radio->frequency = hertz;
    }
    // Settling costs real time, as on the hardware; the lock is free meanwhile.
    std::this_thread::sleep_for(std::clamp(settle, 0, kMaxSettle) * kSettleUnit);
    return 1;
}

int32_t SimDriver::readPipelined(K7Handle handle, int32_t* tenthsDbm, uint8_t* raw, int32_t* rssi,
                                 int32_t* agc) {
    std::lock_guard lock(mutex_);
    SimRadioState* radio = usableRadio(handle);
    // Nothing pending (after the first tune of a pass, or once read): no reading.
    if (!radio || !radio->pipelinePending) {
        return 0;
    }
    radio->last = *radio->pipelinePending;
    radio->pipelinePending.reset();
    const SimReading& reading = radio->last;
    if (tenthsDbm) {
        *tenthsDbm = reading.tenthsDbm;
    }
    if (raw) {
        *raw = reading.raw;
    }
    if (rssi) {
        *rssi = reading.rssi;
    }
    if (agc) {
        *agc = reading.agc;
    }
    return 1;
}

int32_t SimDriver::tuneAsync(K7Handle handle, int32_t hertz) {
    return withRadio(handle, [&](SimRadioState& radio) {
        if (hertz <= 0) {
            return 0;
        }
        radio.frequency = hertz;
        radio.tuneDone = Clock::now() + kAsyncTuneTime;
        return 1;
    });
}

int32_t SimDriver::waitTune(K7Handle handle) {
    Clock::time_point done;
    if (!withRadio(handle, [&](SimRadioState& radio) {
            done = radio.tuneDone;
            return 1;
        })) {
        return 0;
    }
    std::this_thread::sleep_until(done);
    return 1;
}

int32_t SimDriver::readEeprom(K7Handle handle, uint8_t* buffer) {
    if (buffer == nullptr) {
        return 0;
    }
    return withIdentity(handle, [&](const SimRadioState& radio, const SimRadio& about) {
        std::memset(buffer, 0, kEepromBytes);
        std::memcpy(buffer, "K7EE", 4);
        putName(reinterpret_cast<char*>(buffer + kEepromSerial), about.serial);
        putName(reinterpret_cast<char*>(buffer + kEepromProduct), about.product);
        putU32(buffer + kEepromFirmware, about.firmware);
        putU32(buffer + kEepromHardware, about.hardware);
        putU32(buffer + kEepromBottom, kBottomHz);
        putU32(buffer + kEepromTop, about.extended ? kExtendedTopHz : kStandardTopHz);
        const Calibration& calibration = calibrations_[radio.serial];
        std::copy(calibration.begin(), calibration.end(), buffer + kEepromCalibration);
        return 1;
    });
}

int32_t SimDriver::writeCalibration(K7Handle handle, CalibrationArea area, const uint8_t* data,
                                    int32_t size) {
    if (data == nullptr || size <= 0 || size > static_cast<int32_t>(kCalibrationBytes)) {
        return 0;
    }
    return withRadio(handle, [&](SimRadioState& radio) {
        const size_t offset = area == CalibrationArea::First ? 0 : kCalibrationBytes;
        std::copy(data, data + size, calibrations_[radio.serial].begin() + offset);
        return 1;
    });
}

int32_t SimDriver::describe(K7Handle handle, char* text, int32_t size) {
    if (!fitsText(text, size)) {
        return 0;
    }
    return withIdentity(handle, [&](const SimRadioState&, const SimRadio& about) {
        std::snprintf(text, static_cast<size_t>(size), "%s %s firmware %u.%02u hardware %u",
                      about.product.c_str(), about.serial.c_str(), about.firmware >> 8U,
                      about.firmware & 0xFFU, about.hardware);
        return 1;
    });
}

int32_t SimDriver::debugText(K7Handle handle, char* text, int32_t size) {
    if (!fitsText(text, size)) {
        return 0;
    }
    return withRadio(handle, [&](SimRadioState& radio) {
        std::snprintf(text, static_cast<size_t>(size),
                      "frequency %d IF2 %d attenuator %d amplifier %d power %d mode %d level %d",
                      radio.frequency, radio.if2Frequency, radio.attenuator, radio.rfAmplifier,
                      radio.power, radio.mode, radio.last.tenthsDbm);
        return 1;
    });
}

uint32_t SimDriver::setupStreams(K7Handle handle, K7StreamCallback callback, void* context) {
    std::unique_ptr<SimAudioStream> previous;  // stopped outside the lock, when leaving
    std::lock_guard lock(mutex_);
    std::shared_ptr<SimRadioState>* radio = slot(handle);
    if (!radio) {
        return 0;
    }
    std::swap(previous, streams_[handle - 1]);
    if (callback == nullptr || !attached(**radio)) {
        return 0;
    }
    streams_[handle - 1] = std::make_unique<SimAudioStream>(
        callback, context,
        [this, state = *radio] {
            std::lock_guard streamLock(mutex_);
            return audioConditions(*state);
        },
        seed(handle) ^ nextStreamId_);
    const uint32_t id = nextStreamId_;
    nextStreamId_ = nextStreamId_ == UINT32_MAX ? 1 : nextStreamId_ + 1;
    return id;
}

K7Handle SimDriver::allocate(const std::string& serial, bool extended) {
    const auto free = std::find(radios_.begin(), radios_.end(), nullptr);
    if (free == radios_.end()) {
        return 0;
    }
    const auto handle = static_cast<K7Handle>(free - radios_.begin() + 1);
    auto radio = std::make_shared<SimRadioState>(serial, seed(handle));
    if (extended) {
        radio->bands.back() = kExtendedTopHz;
    }
    radio->last = measureAt(*radio, signalsFor(*radio), radio->frequency);
    *free = std::move(radio);
    return handle;
}

std::shared_ptr<SimRadioState>* SimDriver::slot(K7Handle handle) {
    if (handle == 0 || handle > kMaxHandles || !radios_[handle - 1]) {
        return nullptr;
    }
    return &radios_[handle - 1];
}

SimRadioState* SimDriver::usableRadio(K7Handle handle) {
    std::shared_ptr<SimRadioState>* radio = slot(handle);
    return radio && attached(**radio) ? radio->get() : nullptr;
}

const SimRadio* SimDriver::identity(const SimRadioState& radio) {
    return radio.isDemo() ? &kDemoRadio : setupFile_.current(false).findRadio(radio.serial);
}

bool SimDriver::attached(const SimRadioState& radio) {
    const SimRadio* about = identity(radio);
    return about && about->connected;
}

std::span<const SimSignal> SimDriver::signalsFor(const SimRadioState& radio) {
    if (radio.isDemo()) {
        return SimSignalModel::demoSignals();
    }
    const SimSetup& setup = setupFile_.current(false);
    if (setup.scheduled.empty()) {
        return setup.signals;
    }
    // The scheduled sonobuoys join while they are on, by the wall clock their times are given in.
    const double now =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    onAir_.assign(setup.signals.begin(), setup.signals.end());
    for (const SimScheduledSignal& entry : setup.scheduled) {
        if (entry.isOn(now)) {
            onAir_.push_back(entry.signal);
        }
    }
    return onAir_;
}

SimReading SimDriver::measureAt(SimRadioState& radio, std::span<const SimSignal> signals,
                                int32_t hertz) {
    if (!radio.power) {
        return SimSignalModel::reading(SimSignalModel::kPoweredOffDbm);
    }
    return SimSignalModel::reading(SimSignalModel::measuredDbm(
        signals, hertz, radio.attenuator != 0, seconds(), radio.random));
}

SimAudioConditions SimDriver::audioConditions(SimRadioState& radio) {
    SimAudioConditions conditions;
    conditions.delivering = attached(radio);
    const std::span<const SimSignal> signals = signalsFor(radio);
    const bool tuned = SimSignalModel::strongestNear(signals, radio.frequency,
                                                     SimSignalModel::kAudibleWidthHz) != nullptr;
    if (conditions.delivering && tuned && radio.power) {
        conditions.signalDbm = SimSignalModel::measuredDbm(
            signals, radio.frequency, radio.attenuator != 0, seconds(), radio.random);
    }
    return conditions;
}

uint64_t SimDriver::seed(K7Handle handle) const {
    const auto now = static_cast<uint64_t>(Clock::now().time_since_epoch().count());
    return now ^ (static_cast<uint64_t>(handle) * 0x9E3779B97F4A7C15ULL);
}

double SimDriver::seconds() const {
    return std::chrono::duration<double>(Clock::now() - start_).count();
}
