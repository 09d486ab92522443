#include "calibration/CnxK740RXCalibratorSMeter.h"

#include <gtest/gtest.h>

#include <QtGlobal>
#include <cstring>
#include <string>
#include <vector>

#include "CalTableFiles.h"
#include "LogCapture.h"
#include "TestSupport.h"

namespace {

constexpr std::string_view kTwoModes =
    "K740CAL 1\n"
    "model QVK740R\n"
    "mode 1\n"
    "frequency 150000000\n"
    "0 -135.00\n"
    "255 -35.00\n"
    "mode 3\n"
    "frequency 150000000\n"
    "0 -130.00\n"
    "255 -30.00\n"
    "end\n";

}  // namespace

TEST(CnxK740RXCalibratorSMeterTest, WithoutTheLibraryEveryCallAnswersItsNotLoadedValue) {
    EnsureCoreApp();
    LogCapture warnings({}, true);
    CnxK740RXCalibratorSMeter calibrator("NoSuchCalibration.dll", "/nowhere/qvk74m.cal");
    EXPECT_FALSE(calibrator.IsLoaded());
    EXPECT_TRUE(warnings.AnyContains("NoSuchCalibration.dll"));
    // Loading without the library takes the handle 0.
    EXPECT_EQ(calibrator.GetCalibrationHandle(), 0);
    EXPECT_FALSE(calibrator.Calibrate(128).has_value());

    EXPECT_EQ(calibrator.LoadCALFile("x.cal"), -10);
    EXPECT_EQ(calibrator.Unload(), -10);
    EXPECT_EQ(calibrator.GetCS("QVK740R", 3, 0, nullptr), -10);
    EXPECT_EQ(calibrator.SaveCALFile("x.cal"), -10);
    EXPECT_EQ(calibrator.PutDBMs(1, 2, 3, 4, 5), -10);
    EXPECT_EQ(calibrator.DeleteMode(1, 2), -10);
    EXPECT_EQ(calibrator.DeleteFrequency(1, 2, 3, 4), -10);
    EXPECT_EQ(calibrator.GetModes(1, 2, 3), 0);
    EXPECT_EQ(calibrator.GetFrequencies(1, 2, 3, 4), 0);
}

TEST(CnxK740RXCalibratorSMeterTest, MissingExportsAnswerZeroThroughTheirStubs) {
    EnsureCoreApp();
    LogCapture warnings({}, true);
    // A library that exports none of the calibration functions.
    CnxK740RXCalibratorSMeter calibrator("QVK740RXAPI.dll", "qvk74m.cal");
    ASSERT_TRUE(calibrator.IsLoaded());
    EXPECT_TRUE(warnings.AnyContains("lacks GetCS"));
    // The stub's handle 0 counts as a loaded file; its 0 from GetCS is not a filled record.
    EXPECT_EQ(calibrator.GetCalibrationHandle(), 0);
    EXPECT_TRUE(calibrator.IsCalibrationLoaded());
    EXPECT_FALSE(calibrator.Calibrate(200).has_value());
    EXPECT_EQ(calibrator.Unload(), 0);
    EXPECT_EQ(calibrator.PutDBMs(1, 2, 3, 4, 5), 0);
    EXPECT_EQ(calibrator.GetModes(1, 2, 3), 0);
}

TEST(CnxK740RXCalibratorSMeterTest, TheLibraryWritesTheLevelAtOffsetFiveOfThePackedRecord) {
    EnsureCoreApp();
    CalTableFiles files;
    CnxK740RXCalibratorSMeter calibrator(CalTableFiles::kLibrary,
                                         files.Write("table.cal", CalTableFiles::kSmallTable));
    ASSERT_TRUE(calibrator.IsCalibrationLoaded());

    // The record as raw bytes, the way the library sees it.
    unsigned char bytes[33] = {};
    const uint32_t size = 33;
    std::memcpy(bytes, &size, sizeof size);
    bytes[4] = 51;
    ASSERT_EQ(calibrator.GetCS("QVK740R", 3, 100000000, reinterpret_cast<CalRecord*>(bytes)), -1);
    double level = 0.0;
    std::memcpy(&level, bytes + 5, sizeof level);
    EXPECT_DOUBLE_EQ(level, -110.0);

    calibrator.SetFrequency(100000000);
    const auto record = calibrator.Calibrate(51);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->raw, 51);
    EXPECT_DOUBLE_EQ(double{record->dbm}, -110.0);
}

TEST(CnxK740RXCalibratorSMeterTest, CalibratesAtTheFrequencyAndModeItWasLastGiven) {
    EnsureCoreApp();
    CalTableFiles files;
    CnxK740RXCalibratorSMeter calibrator(CalTableFiles::kLibrary,
                                         files.Write("modes.cal", kTwoModes));
    const auto level = [&calibrator](uint8_t raw) {
        const auto record = calibrator.Calibrate(raw);
        return record ? double{record->dbm} : 0.0;
    };
    EXPECT_DOUBLE_EQ(level(255), -30.0);  // mode 3 from construction
    calibrator.SetMode(1);
    EXPECT_DOUBLE_EQ(level(255), -35.0);
    calibrator.SetMode(2);
    EXPECT_FALSE(calibrator.Calibrate(255).has_value());

    // A frequency the library refuses leaves the record unfilled.
    calibrator.SetMode(3);
    calibrator.SetFrequency(-150000000);
    EXPECT_FALSE(calibrator.Calibrate(255).has_value());
}

TEST(CnxK740RXCalibratorSMeterTest,
     LoadingAndDestructionUnloadTheFileAndWithoutOneTheLibraryIsLoaded) {
    EnsureCoreApp();
    CalTableFiles files;
    const std::string good = files.Write("good.cal", CalTableFiles::kSmallTable);
    const std::string bad = files.Write("bad.cal", "K740CAL 1\nmodel QVK740R\n");
    // The library holds 64 files at most: without unloading, these would run out.
    CnxK740RXCalibratorSMeter calibrator(CalTableFiles::kLibrary, good);
    for (int i = 0; i < 100; ++i) {
        ASSERT_TRUE(calibrator.LoadCalibrationFile(good)) << i;
    }
    for (int i = 0; i < 100; ++i) {
        CnxK740RXCalibratorSMeter another(CalTableFiles::kLibrary, good);
        ASSERT_TRUE(another.IsCalibrationLoaded()) << i;
    }

    LogCapture warnings({}, true);
    EXPECT_FALSE(calibrator.LoadCalibrationFile(bad));
    EXPECT_TRUE(warnings.AnyContains("bad.cal"));
    EXPECT_FALSE(calibrator.Calibrate(51).has_value());
    EXPECT_TRUE(calibrator.LoadCalibrationFile(good));
    EXPECT_TRUE(calibrator.Calibrate(51).has_value());

    // Without its file the library alone counts as loaded, as start-up asks.
    CnxK740RXCalibratorSMeter fileless(CalTableFiles::kLibrary, files.Path("missing.cal"));
    EXPECT_TRUE(fileless.IsLoaded());
    EXPECT_FALSE(fileless.IsCalibrationLoaded());
    EXPECT_LT(fileless.GetCalibrationHandle(), 0);
}
