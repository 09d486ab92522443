#include "calibration/CnxK740RXCalibratorSMeter.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

TEST(CnxK740RXCalibratorSMeterTest, WithoutTheLibraryNothingIsCalibrated) {
    EnsureCoreApp();
    CnxK740RXCalibratorSMeter calibrator("NoSuchCalibration.dll", "/nowhere/qvk74m.cal");
    EXPECT_FALSE(calibrator.IsLoaded());
    EXPECT_FALSE(calibrator.IsCalibrationLoaded());
    EXPECT_EQ(calibrator.GetCalibrationHandle(), InxCalibratorSMeter::kNotLoaded);
    EXPECT_EQ(calibrator.GetModel(), "QVK740R");
    EXPECT_EQ(calibrator.GetFilePath(), "/nowhere/qvk74m.cal");
    EXPECT_EQ(calibrator.GetFrequency(), 30000000);
    EXPECT_EQ(calibrator.GetMode(), 3);
    EXPECT_EQ(calibrator.Calibrate(128), nullptr);

    EXPECT_EQ(calibrator.LoadCALFile("x.cal"), -10);
    EXPECT_EQ(calibrator.Unload(), -10);
    EXPECT_EQ(calibrator.GetCS("QVK740R", 3, 0, nullptr), -10);
    EXPECT_EQ(calibrator.SaveCALFile("x.cal"), -10);
    EXPECT_EQ(calibrator.PutDBMs(1, 2, 3, 4, 5), -10);
    EXPECT_EQ(calibrator.DeleteMode(1, 2), -10);
    EXPECT_EQ(calibrator.DeleteFrequency(1, 2, 3, 4), -10);
    EXPECT_EQ(calibrator.GetModes(1, 2, 3), 0);
    EXPECT_EQ(calibrator.GetFrequencies(1, 2, 3, 4), 0);

    calibrator.SetFrequency(150000000);
    calibrator.SetMode(1);
    EXPECT_EQ(calibrator.GetFrequency(), 150000000);
    EXPECT_EQ(calibrator.GetMode(), 1);
    EXPECT_FALSE(calibrator.LoadCalibrationFile("other.cal"));
    EXPECT_EQ(calibrator.GetFilePath(), "other.cal");
}

TEST(CnxK740RXCalibratorSMeterTest, MissingExportsAnswerZeroThroughTheirStubs) {
    EnsureCoreApp();
    // A library that exports none of the calibration functions.
    CnxK740RXCalibratorSMeter calibrator("QVK740RXAPI.dll", "qvk74m.cal");
    ASSERT_TRUE(calibrator.IsLoaded());
    // The stub's handle 0 counts as a loaded file; its 0 from GetCS is not a filled record.
    EXPECT_EQ(calibrator.GetCalibrationHandle(), 0);
    EXPECT_TRUE(calibrator.IsCalibrationLoaded());
    EXPECT_EQ(calibrator.Calibrate(200), nullptr);
    EXPECT_EQ(calibrator.Unload(), 0);
    EXPECT_EQ(calibrator.PutDBMs(1, 2, 3, 4, 5), 0);
    EXPECT_EQ(calibrator.GetModes(1, 2, 3), 0);
}
