#include "calibration/CnxK740RXCalibratorSMeter.h"

namespace {
constexpr int32_t kLibraryDone = -1;  // "record filled" and "file unloaded"
}

CnxK740RXCalibratorSMeter::CnxK740RXCalibratorSMeter(const char* libraryPath,
                                                     const std::string& calibrationFilePath)
    : InxCalibratorSMeter(libraryPath), filePath_(calibrationFilePath) {
    record_.size = sizeof(CalRecord);
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
    calibrationHandle_ = LoadCALFile(path.c_str());
    calibrationLoaded_ = calibrationHandle_ >= 0;
    return calibrationLoaded_;
}

const CalRecord* CnxK740RXCalibratorSMeter::Calibrate(uint8_t raw) {
    record_.raw = raw;
    const int32_t result = GetCS(model_.c_str(), mode_, int64_t{frequency_.load()}, &record_);
    return result == kLibraryDone ? &record_ : nullptr;
}
