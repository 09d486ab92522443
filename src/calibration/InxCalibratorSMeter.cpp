#include "calibration/InxCalibratorSMeter.h"

#include "calibration/K740RXCalibrationLog.h"

namespace {

// Stands in for an export the library lacks.
template <typename... Params>
int32_t MissingExport(Params...) {
    return 0;
}

template <typename... Params>
DllProc StubFor(int32_t (*)(Params...)) {
    return reinterpret_cast<DllProc>(&MissingExport<Params...>);
}

}  // namespace

InxCalibratorSMeter::InxCalibratorSMeter(const char* libraryFileName)
    : CnxInterfaceDll(libraryFileName) {
#define K740RX_RESOLVE(name, params)                                                         \
    {                                                                                        \
        const DllProc stub = StubFor(decltype(functions_.name){});                           \
        const DllProc function = GetFunction(#name, stub);                                   \
        functions_.name = reinterpret_cast<decltype(functions_.name)>(function);             \
        if (IsLoaded() && function == stub) {                                                \
            qCWarning(lcCalibration, "Calibration library %s lacks %s: that call answers 0", \
                      libraryFileName, #name);                                               \
        }                                                                                    \
    }
    K740RX_SMETER_FUNCTIONS(K740RX_RESOLVE)
#undef K740RX_RESOLVE
}

int32_t InxCalibratorSMeter::LoadCALFile(const char* path) {
    return Call(functions_.LoadCALFile, kNotLoaded, path);
}

int32_t InxCalibratorSMeter::Unload() {
    return Call(functions_.Unload, kNotLoaded, calibrationHandle_);
}

int32_t InxCalibratorSMeter::GetCS(const char* model, int32_t mode, int64_t hertz,
                                   CalRecord* record) const {
    return Call(functions_.GetCS, kNotLoaded, calibrationHandle_, model, mode, hertz, record);
}

int32_t InxCalibratorSMeter::SaveCALFile(const char* path) {
    return Call(functions_.SaveCALFile, kNotLoaded, calibrationHandle_, path);
}

int32_t InxCalibratorSMeter::PutDBMs(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e) {
    return Call(functions_.PutDBMs, kNotLoaded, calibrationHandle_, a, b, c, d, e);
}

int32_t InxCalibratorSMeter::GetModes(int32_t a, int32_t b, int32_t c) {
    return Call(functions_.GetModes, 0, calibrationHandle_, a, b, c);
}

int32_t InxCalibratorSMeter::GetFrequencies(int32_t a, int32_t b, int32_t c, int32_t d) {
    return Call(functions_.GetFrequencies, 0, calibrationHandle_, a, b, c, d);
}

int32_t InxCalibratorSMeter::DeleteMode(int32_t a, int32_t b) {
    return Call(functions_.DeleteMode, kNotLoaded, calibrationHandle_, a, b);
}

int32_t InxCalibratorSMeter::DeleteFrequency(int32_t a, int32_t b, int32_t c, int32_t d) {
    return Call(functions_.DeleteFrequency, kNotLoaded, calibrationHandle_, a, b, c, d);
}
