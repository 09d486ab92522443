// The stand-in calibration library under several threads at once: receivers calibrating while
// the window thread retunes and the table is edited, loaded and unloaded.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "CalTableFiles.h"
#include "TestSupport.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"

TEST(SimCalLibraryThreadsTest, CalibratesFromSeveralThreadsWhileTheTableChanges) {
    EnsureCoreApp();
    CalTableFiles files;
    const std::string path = files.Write("table.cal", CalTableFiles::kSmallTable);
    CnxK740RXCalibratorSMeter calibrator(CalTableFiles::kLibrary, path);
    ASSERT_TRUE(calibrator.IsCalibrationLoaded());

    constexpr int kReaders = 4;
    constexpr int kReadsEach = 20000;
    std::atomic<int> outOfRange{0};
    std::atomic<int> unfilled{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < kReaders; ++t) {
        readers.emplace_back([&, t] {
            for (int i = 0; i < kReadsEach; ++i) {
                const uint8_t raw = uint8_t((i * 7 + t) % 256);
                const auto record = calibrator.Calibrate(raw);
                if (!record) {
                    ++unfilled;
                } else if (!std::isfinite(record->dbm) || record->dbm < -130.0 ||
                           record->dbm > -28.0 || record->raw != raw) {
                    ++outOfRange;
                }
            }
        });
    }
    // Meanwhile: retuning, edits that keep the curve inside the table's range, and other files
    // coming and going.
    for (int i = 0; i < 2000; ++i) {
        calibrator.SetFrequency(i % 2 ? 100000000 : 175000000);
        EXPECT_EQ(calibrator.PutDBMs(3, 100000000, 51, i % 2 ? -11000 : -11200, 0), -1);
        CnxK740RXCalibratorSMeter other(CalTableFiles::kLibrary, path);
        EXPECT_TRUE(other.IsCalibrationLoaded());
    }
    for (std::thread& reader : readers) {
        reader.join();
    }
    EXPECT_EQ(unfilled.load(), 0);
    EXPECT_EQ(outOfRange.load(), 0);
}
