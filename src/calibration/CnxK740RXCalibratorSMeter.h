#pragma once
// The S-meter calibrator: the calibration library with its calibration file, kept told of the
// tuned frequency and the mode, turning a raw strength value into a calibrated level in dBm.
// Frequency and mode are set on the window thread and read wherever a level is calibrated.
#include <cstdint>
#include <optional>
#include <string>

#include "calibration/InxCalibratorSMeter.h"
#include "sync/CnxAtomic.h"

class CnxK740RXCalibratorSMeter : public InxCalibratorSMeter {
public:
    static constexpr const char* kModel = "QVK740R";
    static constexpr int32_t kInitialFrequency = 30000000;
    static constexpr int32_t kInitialMode = 3;

    CnxK740RXCalibratorSMeter(const char* libraryPath, const std::string& calibrationFilePath);
    ~CnxK740RXCalibratorSMeter() override;

    // Unloads a loaded file first; true when the new one counts as loaded (a handle of 0 or more).
    // Without the library the handle is 0, as the stub of a missing export would answer, and so
    // counts as loaded; nothing is calibrated all the same, since every call then answers -10.
    bool LoadCalibrationFile(const std::string& path);

    void SetFrequency(int32_t hertz) { frequency_ = hertz; }
    int32_t GetFrequency() const { return frequency_; }
    void SetMode(int32_t mode) { mode_ = mode; }
    int32_t GetMode() const { return mode_; }
    const std::string& GetModel() const { return model_; }
    const std::string& GetFilePath() const { return filePath_; }

    // The record with the calibrated level of a raw value 0..255, or nothing when the library did
    // not fill it. Safe from several threads at once: each call fills a record of its own.
    std::optional<CalRecord> Calibrate(uint8_t raw) const;

private:
    std::string model_ = kModel;
    std::string filePath_;
    CnxAtomic<int32_t> frequency_{kInitialFrequency};
    CnxAtomic<int32_t> mode_{kInitialMode};
};
