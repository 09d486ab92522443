// The library's exported entry points. Each is a thin shell over the simulated driver; the
// declarations come from the program's own list of driver functions, so names and signatures
// cannot drift apart from what the program resolves.
#include <algorithm>
#include <type_traits>

#include "SimDriver.h"
#include "receiver/K740RXDriverApi.h"

#define K740_SIM_DECLARE_EXPORT(name, result, parameters) \
    extern "C" __attribute__((visibility("default"))) result name parameters;
K740RX_DRIVER_FUNCTIONS(K740_SIM_DECLARE_EXPORT)
#undef K740_SIM_DECLARE_EXPORT

namespace {

SimDriver& sim() {
    return SimDriver::instance();
}

int32_t setField(K7Handle h, int32_t SimRadioState::*field, int32_t value, bool valid = true) {
    return sim().withRadio(h, [&](SimRadioState& radio) {
        if (!valid) {
            return 0;
        }
        radio.*field = value;
        return 1;
    });
}

int32_t getField(K7Handle h, int32_t SimRadioState::*field) {
    return sim().withRadio(h, [&](SimRadioState& radio) { return radio.*field; });
}

int32_t storeTable(K7Handle h, std::vector<int32_t> SimRadioState::*table, const int32_t* values,
                   int32_t count) {
    if (values == nullptr || count < 0 ||
        static_cast<size_t>(count) > SimRadioState::kMaxTableEntries) {
        return 0;
    }
    return sim().withRadio(h, [&](SimRadioState& radio) {
        (radio.*table).assign(values, values + count);
        return 1;
    });
}

// Copies as many entries as fit and returns how many were copied.
int32_t loadTable(K7Handle h, std::vector<int32_t> SimRadioState::*table, int32_t* values,
                  int32_t count) {
    if (values == nullptr || count <= 0) {
        return 0;
    }
    return sim().withRadio(h, [&](SimRadioState& radio) {
        const std::vector<int32_t>& stored = radio.*table;
        const auto copied = std::min(stored.size(), static_cast<size_t>(count));
        std::copy_n(stored.begin(), copied, values);
        return static_cast<int32_t>(copied);
    });
}

bool validFilter(int32_t filter) {
    return filter >= 0 && static_cast<size_t>(filter) < SimRadioState::kFilterCount;
}

template <typename Field>
int32_t readingField(const std::optional<SimReading>& reading, Field SimReading::*field) {
    return reading ? static_cast<int32_t>((*reading).*field) : 0;
}

constexpr int32_t kStandardPathTopHz = 174'000'000;

}  // namespace

K7Handle K7Open(const char* serial) {
    return sim().open(serial);
}
K7Handle OpenRadioDevice(int32_t listIndex) {
    return sim().openListed(listIndex);
}
int32_t CloseRadioDevice(K7Handle h) {
    return sim().close(h);
}
int32_t K7GetRadioList3(RadioInfo* list, uint32_t bufferBytes, uint32_t* count) {
    return sim().listRadios(list, bufferBytes, count);
}
int32_t IsDeviceConnected(K7Handle h) {
    return sim().isConnected(h);
}

int32_t InitializeDemodulator(K7Handle h, int32_t) {
    return setField(h, &SimRadioState::demodulator, 1);
}
int32_t UninitializeDemodulator(K7Handle h) {
    return setField(h, &SimRadioState::demodulator, 0);
}

int32_t SetFrequency(K7Handle h, int32_t hertz) {
    return setField(h, &SimRadioState::frequency, hertz, hertz > 0);
}
int32_t GetFrequency(K7Handle h) {
    return getField(h, &SimRadioState::frequency);
}
int32_t SetIF2Frequency(K7Handle h, int32_t hertz) {
    return setField(h, &SimRadioState::if2Frequency, hertz, hertz >= 0);
}
int32_t GetIF2Frequency(K7Handle h) {
    return getField(h, &SimRadioState::if2Frequency);
}
int32_t SetFreqAsync(K7Handle h, int32_t hertz) {
    return sim().tuneAsync(h, hertz);
}
int32_t WaitFreqAsync(K7Handle h) {
    return sim().waitTune(h);
}
// The simulated synthesiser always lands exactly on frequency.
int32_t GetTunedError(K7Handle) {
    return 0;
}
int32_t K7IsBusy(K7Handle h) {
    return sim().withRadio(h, [](SimRadioState& radio) {
        return std::chrono::steady_clock::now() < radio.tuneDone ? 1 : 0;
    });
}

int32_t SetAtten(K7Handle h, int32_t on) {
    return setField(h, &SimRadioState::attenuator, on != 0);
}
int32_t GetAtten(K7Handle h) {
    return getField(h, &SimRadioState::attenuator);
}
int32_t SetRFAmp(K7Handle h, int32_t on) {
    return setField(h, &SimRadioState::rfAmplifier, on != 0);
}
int32_t GetRFAmp(K7Handle h) {
    return getField(h, &SimRadioState::rfAmplifier);
}
int32_t SetPower(K7Handle h, int32_t on) {
    return setField(h, &SimRadioState::power, on != 0);
}
int32_t GetPower(K7Handle h) {
    return getField(h, &SimRadioState::power);
}
int32_t K7SetRefClock(K7Handle h, int32_t hertz) {
    return setField(h, &SimRadioState::refClock, hertz, hertz > 0);
}
int32_t K7GetRefClock(K7Handle h) {
    return getField(h, &SimRadioState::refClock);
}

int32_t K7GetInfo(K7Handle h, char* text, int32_t size) {
    return sim().describe(h, text, size);
}
int32_t K7GetDebug(K7Handle h, char* text, int32_t size) {
    return sim().debugText(h, text, size);
}
// RF path: 1 for the standard band, 2 above it (the extended model's upper range).
int32_t GetPath(K7Handle h) {
    return sim().withRadio(
        h, [](SimRadioState& radio) { return radio.frequency > kStandardPathTopHz ? 2 : 1; });
}
// Audio path: 2 while the demodulator is initialised, else 1.
int32_t GetPath2(K7Handle h) {
    return sim().withRadio(h, [](SimRadioState& radio) { return radio.demodulator ? 2 : 1; });
}
int32_t SetLEDFlashPattern(K7Handle h, int32_t pattern) {
    return setField(h, &SimRadioState::ledPattern, pattern);
}
int32_t GetLEDFlashPattern(K7Handle h) {
    return getField(h, &SimRadioState::ledPattern);
}

int32_t K7GetEEP(K7Handle h, uint8_t* buffer256) {
    return sim().readEeprom(h, buffer256);
}
int32_t K7WrCalib(K7Handle h, const uint8_t* data, int32_t size) {
    return sim().writeCalibration(h, SimDriver::CalibrationArea::First, data, size);
}
int32_t K7WrCalib2(K7Handle h, const uint8_t* data, int32_t size) {
    return sim().writeCalibration(h, SimDriver::CalibrationArea::Second, data, size);
}

int32_t SetFilterValue(K7Handle h, int32_t filter, int32_t value) {
    return sim().withRadio(h, [&](SimRadioState& radio) {
        if (!validFilter(filter)) {
            return 0;
        }
        radio.filterValues[static_cast<size_t>(filter)] = value;
        return 1;
    });
}
int32_t GetFilterValue(K7Handle h, int32_t filter) {
    return sim().withRadio(h, [&](SimRadioState& radio) {
        return validFilter(filter) ? radio.filterValues[static_cast<size_t>(filter)] : 0;
    });
}
int32_t SetFilterTbl(K7Handle h, const int32_t* table, int32_t count) {
    return storeTable(h, &SimRadioState::filterTable, table, count);
}
int32_t GetFilterTbl(K7Handle h, int32_t* table, int32_t count) {
    return loadTable(h, &SimRadioState::filterTable, table, count);
}
int32_t GetPllSpeed(K7Handle h) {
    return getField(h, &SimRadioState::pllSpeed);
}
int32_t SetPllSpeed(K7Handle h, int32_t speed) {
    return setField(h, &SimRadioState::pllSpeed, speed);
}
int32_t ReadBands(K7Handle h, int32_t* bands, int32_t count) {
    return loadTable(h, &SimRadioState::bands, bands, count);
}
int32_t WriteBands(K7Handle h, const int32_t* bands, int32_t count) {
    return storeTable(h, &SimRadioState::bands, bands, count);
}

uint32_t SetupStreams(K7Handle h, int32_t, int32_t, K7StreamCallback callback, void* context) {
    return sim().setupStreams(h, callback, context);
}
int32_t SetAudioBandwidth(K7Handle h, int32_t hertz) {
    return setField(h, &SimRadioState::audioBandwidth, hertz, hertz > 0);
}
int32_t GetAudioBandwidth(K7Handle h) {
    return getField(h, &SimRadioState::audioBandwidth);
}
int32_t SetVolume(K7Handle h, int32_t volume) {
    return setField(h, &SimRadioState::volume, volume);
}
int32_t GetVolume(K7Handle h) {
    return getField(h, &SimRadioState::volume);
}
int32_t SetAudioGain(K7Handle h, int32_t gain) {
    return setField(h, &SimRadioState::audioGain, gain);
}
int32_t GetAudioGain(K7Handle h) {
    return getField(h, &SimRadioState::audioGain);
}

int32_t GetSignalStrengthdBm(K7Handle h) {
    return readingField(sim().measure(h), &SimReading::tenthsDbm);
}
int32_t GetRawSignalStrength(K7Handle h) {
    return readingField(sim().measure(h), &SimReading::raw);
}
int32_t GetLastRawSS(K7Handle h) {
    return readingField(sim().lastReading(h), &SimReading::raw);
}
int32_t GetLastSSdBm(K7Handle h) {
    return readingField(sim().lastReading(h), &SimReading::tenthsDbm);
}
int32_t K7GetInternalRSSI(K7Handle h) {
    return readingField(sim().lastReading(h), &SimReading::rssi);
}
int32_t K7SetFreqPipelined(K7Handle h, int32_t hertz, int32_t firstOfPass, int32_t settle) {
    return sim().tunePipelined(h, hertz, firstOfPass, settle);
}
int32_t K7GetSSPipelined(K7Handle h, int32_t* levelTenthsDbm, uint8_t* raw, int32_t* rssi,
                         int32_t* agc) {
    return sim().readPipelined(h, levelTenthsDbm, raw, rssi, agc);
}

int32_t SetAdvancedMode(K7Handle h, int32_t mode) {
    return setField(h, &SimRadioState::advancedMode, mode);
}
int32_t GetAdvancedMode(K7Handle h) {
    return getField(h, &SimRadioState::advancedMode);
}
int32_t SetFMW(K7Handle h, int32_t value) {
    return setField(h, &SimRadioState::fmw, value);
}
int32_t GetFMW(K7Handle h) {
    return getField(h, &SimRadioState::fmw);
}
int32_t SetMode(K7Handle h, int32_t mode) {
    return setField(h, &SimRadioState::mode, mode);
}
int32_t GetMode(K7Handle h) {
    return getField(h, &SimRadioState::mode);
}

// A definition whose signature differed from the list would be a separate overload, and the
// export of the listed name would be missing: taking each name's address rules that out.
#define K740_SIM_CHECK_EXPORT(name, result, parameters)                  \
    static_assert(std::is_same_v<decltype(&name), result(*) parameters>, \
                  #name " does not match the driver function list");
K740RX_DRIVER_FUNCTIONS(K740_SIM_CHECK_EXPORT)
#undef K740_SIM_CHECK_EXPORT
