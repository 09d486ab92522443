#include "calibration/CnxK740RXCalibratorSMeter.h"

#include "calibration/K740RXCalibrationLog.h"

namespace {
constexpr int32_t kLibraryDone = -1;  // "record filled" and "file unloaded"
}

CnxK740RXCalibratorSMeter::CnxK740RXCalibratorSMeter(const char* libraryPath,
                                                     const std::string& calibrationFilePath)
    : InxCalibratorSMeter(libraryPath), filePath_(calibrationFilePath) {
    if (!IsLoaded()) {
        qCWarning(lcCalibration,
                  "Calibration library %s not loaded: raw levels are converted linearly",
                  libraryPath);
    }
    LoadCalibrationFile(calibrationFilePath);
}

CnxK740RXCalibratorSMeter::~CnxK740RXCalibratorSMeter() {
    if (Unload() == kLibraryDone) {
        calibrationLoaded_ = false;
    }
}

bool CnxK740RXCalibratorSMeter::LoadCalibrationFile(const std::string& path) {
    if (calibrationLoaded_) {
        Unload();
    }
    calibrationLoaded_ = false;
    filePath_ = path;
    calibrationHandle_ = IsLoaded() ? LoadCALFile(path.c_str()) : 0;
    calibrationLoaded_ = calibrationHandle_ >= 0;
    if (IsLoaded() && !calibrationLoaded_) {
        qCWarning(lcCalibration,
                  "Calibration file %s not loaded (result %d): raw levels are converted linearly",
                  path.c_str(), calibrationHandle_);
    } else if (IsLoaded()) {
        qCDebug(lcCalibration, "Calibration file %s loaded, handle %d", path.c_str(),
                calibrationHandle_);
    }
    return calibrationLoaded_;
}

std::optional<CalRecord> CnxK740RXCalibratorSMeter::Calibrate(uint8_t raw) const {
    CalRecord record{};
    record.size = sizeof(CalRecord);
    record.raw = raw;
    const int32_t result = GetCS(model_.c_str(), mode_, int64_t{frequency_.load()}, &record);
    if (result != kLibraryDone) {
        return std::nullopt;
    }
    return record;
}
