// Editing, listing and saving calibration tables in the stand-in library. PutDBMs(mode, hertz,
// raw, hundredths of a dBm, create); an index or raw of -1 stands for "all".
#include <gtest/gtest.h>

#include <vector>

#include "CalTableFiles.h"
#include "TestSupport.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"

namespace {

constexpr int32_t kDone = -1;

class SimCalLibraryEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApp();
        calibrator_ = std::make_unique<CnxK740RXCalibratorSMeter>(
            CalTableFiles::kLibrary, files_.Write("table.cal", CalTableFiles::kSmallTable));
        ASSERT_TRUE(calibrator_->IsCalibrationLoaded());
    }

    // The calibrated level, or -999 when nothing was filled.
    static double Level(CnxK740RXCalibratorSMeter& calibrator, int32_t mode, int32_t hertz,
                        uint8_t raw) {
        calibrator.SetMode(mode);
        calibrator.SetFrequency(hertz);
        const auto record = calibrator.Calibrate(raw);
        return record ? double{record->dbm} : -999.0;
    }
    double Level(int32_t mode, int32_t hertz, uint8_t raw) {
        return Level(*calibrator_, mode, hertz, raw);
    }

    std::vector<int32_t> Frequencies(int32_t mode) {
        std::vector<int32_t> list;
        const int32_t count = calibrator_->GetFrequencies(mode, -1, 0, 0);
        for (int32_t i = 0; i < count; ++i) {
            list.push_back(calibrator_->GetFrequencies(mode, i, 0, 0));
        }
        return list;
    }

    CalTableFiles files_;
    std::unique_ptr<CnxK740RXCalibratorSMeter> calibrator_;
};

}  // namespace

TEST_F(SimCalLibraryEditTest, PutDBMsKeepsEveryCurveRising) {
    EXPECT_EQ(calibrator_->PutDBMs(3, 100000000, 51, -11550, 0), kDone);
    EXPECT_DOUBLE_EQ(Level(3, 100000000, 51), -115.5);
    // A new raw value between two others, and one that would fall below its neighbour.
    EXPECT_EQ(calibrator_->PutDBMs(3, 100000000, 100, -9000, 0), kDone);
    EXPECT_DOUBLE_EQ(Level(3, 100000000, 100), -90.0);
    EXPECT_LT(calibrator_->PutDBMs(3, 100000000, 150, -9100, 0), kDone);
    EXPECT_LT(calibrator_->PutDBMs(3, 100000000, 51, -13000, 0), kDone);
    EXPECT_DOUBLE_EQ(Level(3, 100000000, 51), -115.5);
    EXPECT_LT(calibrator_->PutDBMs(3, 100000000, 256, -5000, 0), kDone);
    EXPECT_LT(calibrator_->PutDBMs(3, 100000000, 200, 6000, 0), kDone);
    EXPECT_LT(calibrator_->PutDBMs(-1, 100000000, 200, -5000, 1), kDone);

    // Missing modes and frequency points are added only when asked to.
    EXPECT_LT(calibrator_->PutDBMs(3, 150000000, 0, -12000, 0), kDone);
    EXPECT_LT(calibrator_->PutDBMs(5, 150000000, 0, -12000, 0), kDone);
    EXPECT_EQ(calibrator_->GetFrequencies(3, -1, 0, 0), 2);
    EXPECT_EQ(calibrator_->PutDBMs(3, 150000000, 0, -12000, 1), kDone);
    EXPECT_DOUBLE_EQ(Level(3, 150000000, 0), -120.0);
    // A curve of one point reads the same at every raw value.
    EXPECT_DOUBLE_EQ(Level(3, 150000000, 255), -120.0);
    EXPECT_EQ(calibrator_->PutDBMs(5, 150000000, 10, -11000, 1), kDone);
    EXPECT_DOUBLE_EQ(Level(5, 150000000, 10), -110.0);
}

TEST_F(SimCalLibraryEditTest, ModesAndFrequencyPointsAreListedInOrderAndCanBeDeleted) {
    EXPECT_EQ(calibrator_->GetModes(-1, 0, 0), 1);
    EXPECT_EQ(calibrator_->GetModes(0, 0, 0), 3);
    EXPECT_LT(calibrator_->GetModes(1, 0, 0), 0);
    EXPECT_EQ(Frequencies(3), (std::vector<int32_t>{100000000, 200000000}));
    EXPECT_LT(calibrator_->GetFrequencies(4, -1, 0, 0), 0);

    ASSERT_EQ(calibrator_->PutDBMs(7, 140000000, 0, -12500, 1), kDone);
    ASSERT_EQ(calibrator_->PutDBMs(1, 140000000, 0, -12500, 1), kDone);
    ASSERT_EQ(calibrator_->PutDBMs(3, 150000000, 0, -12900, 1), kDone);
    ASSERT_EQ(calibrator_->PutDBMs(3, 150000000, 255, -2900, 1), kDone);
    EXPECT_EQ(calibrator_->GetModes(-1, 0, 0), 3);
    EXPECT_EQ(calibrator_->GetModes(0, 0, 0), 1);
    EXPECT_EQ(calibrator_->GetModes(1, 0, 0), 3);
    EXPECT_EQ(calibrator_->GetModes(2, 0, 0), 7);
    EXPECT_EQ(Frequencies(3), (std::vector<int32_t>{100000000, 150000000, 200000000}));

    // One raw value of a curve, then the whole frequency point.
    EXPECT_EQ(calibrator_->DeleteFrequency(3, 150000000, 0, 0), kDone);
    EXPECT_DOUBLE_EQ(Level(3, 150000000, 0), -29.0);
    EXPECT_EQ(calibrator_->DeleteFrequency(3, 150000000, -1, 0), kDone);
    EXPECT_LT(calibrator_->DeleteFrequency(3, 150000000, -1, 0), kDone);
    EXPECT_DOUBLE_EQ(Level(3, 150000000, 0), -129.0);
    EXPECT_EQ(Frequencies(3), (std::vector<int32_t>{100000000, 200000000}));

    // A mode that loses its last point goes with it.
    EXPECT_EQ(calibrator_->DeleteFrequency(7, 140000000, 0, 0), kDone);
    EXPECT_EQ(calibrator_->GetModes(-1, 0, 0), 2);
    EXPECT_EQ(calibrator_->DeleteMode(1, 0), kDone);
    EXPECT_LT(calibrator_->DeleteMode(1, 0), kDone);
    EXPECT_EQ(calibrator_->GetModes(-1, 0, 0), 1);
    EXPECT_EQ(calibrator_->DeleteMode(3, 0), kDone);
    EXPECT_EQ(calibrator_->GetModes(-1, 0, 0), 0);
    EXPECT_EQ(Level(3, 100000000, 0), -999.0);
}

TEST_F(SimCalLibraryEditTest, ASavedTableReadsBackTheSame) {
    ASSERT_EQ(calibrator_->PutDBMs(3, 100000000, 128, -7777, 0), kDone);
    ASSERT_EQ(calibrator_->PutDBMs(2, 173500000, 3, -12345, 1), kDone);
    const std::string saved = files_.Path("saved.cal");
    EXPECT_EQ(calibrator_->SaveCALFile(saved.c_str()), kDone);
    EXPECT_LT(calibrator_->SaveCALFile(files_.Path("no/such/folder.cal").c_str()), kDone);

    CnxK740RXCalibratorSMeter reloaded(CalTableFiles::kLibrary, saved);
    ASSERT_TRUE(reloaded.IsCalibrationLoaded());
    for (int32_t mode : {2, 3}) {
        for (int32_t hertz : {90000000, 100000000, 137000000, 173500000, 250000000}) {
            for (int raw : {0, 3, 51, 127, 128, 200, 255}) {
                EXPECT_DOUBLE_EQ(Level(reloaded, mode, hertz, uint8_t(raw)),
                                 Level(*calibrator_, mode, hertz, uint8_t(raw)))
                    << mode << " " << hertz << " " << raw;
            }
        }
    }
}
