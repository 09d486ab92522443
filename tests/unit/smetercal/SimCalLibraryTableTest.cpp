// Loading and looking up calibration tables in the stand-in library, through the program's binding.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "CalTableFiles.h"
#include "TestSupport.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"

namespace {

class SimCalLibraryTableTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureCoreApp(); }

    std::unique_ptr<CnxK740RXCalibratorSMeter> Load(std::string_view text) {
        return std::make_unique<CnxK740RXCalibratorSMeter>(CalTableFiles::kLibrary,
                                                           files_.Write("table.cal", text));
    }

    // The calibrated level of a raw value at a frequency, or NaN when nothing was filled.
    static double Level(CnxK740RXCalibratorSMeter& calibrator, int32_t hertz, uint8_t raw) {
        calibrator.SetFrequency(hertz);
        const auto record = calibrator.Calibrate(raw);
        return record ? double{record->dbm} : std::nan("");
    }

    CalTableFiles files_;
};

}  // namespace

TEST_F(SimCalLibraryTableTest, InterpolatesBetweenRawValuesAndFrequencyPointsOfAnyLineEnds) {
    auto calibrator = Load(CalTableFiles::kSmallTable);
    ASSERT_TRUE(calibrator->IsCalibrationLoaded());
    // The table's own points.
    EXPECT_DOUBLE_EQ(Level(*calibrator, 100000000, 0), -130.0);
    EXPECT_DOUBLE_EQ(Level(*calibrator, 100000000, 51), -110.0);
    EXPECT_DOUBLE_EQ(Level(*calibrator, 100000000, 255), -30.0);
    // Between raw values: halfway from 51 to 255.
    EXPECT_DOUBLE_EQ(Level(*calibrator, 100000000, 153), -70.0);
    EXPECT_DOUBLE_EQ(Level(*calibrator, 200000000, 51), -108.0);
    // Between frequency points: halfway, and a quarter of the way.
    EXPECT_DOUBLE_EQ(Level(*calibrator, 150000000, 0), -129.0);
    EXPECT_DOUBLE_EQ(Level(*calibrator, 150000000, 51), -109.0);
    EXPECT_DOUBLE_EQ(Level(*calibrator, 125000000, 255), -29.5);
    // Outside the table the nearest frequency point holds.
    EXPECT_DOUBLE_EQ(Level(*calibrator, 30000000, 51), -110.0);
    EXPECT_DOUBLE_EQ(Level(*calibrator, 225000000, 51), -108.0);

    // Only mode 3 is in the table.
    calibrator->SetMode(1);
    EXPECT_TRUE(std::isnan(Level(*calibrator, 100000000, 51)));

    // Carriage returns and tabs around the items, not only at the end.
    std::string text(CalTableFiles::kSmallTable);
    text.replace(text.find("model QVK740R\n"), 14, "model QVK740R\r\t\r\n");
    text.replace(text.find("51 -110.00\n"), 11, "51\r-110.00 \r\n");
    calibrator = Load(text);
    ASSERT_TRUE(calibrator->IsCalibrationLoaded());
    EXPECT_DOUBLE_EQ(Level(*calibrator, 100000000, 51), -110.0);
}

TEST_F(SimCalLibraryTableTest, TheSampleTableRisesAcrossTheRangeAtEveryFrequency) {
    CnxK740RXCalibratorSMeter calibrator(CalTableFiles::kLibrary, CalTableFiles::Shipped());
    ASSERT_TRUE(calibrator.IsCalibrationLoaded());
    std::vector<double> atRaw128;
    for (int32_t hertz : {136000000, 142750000, 154000000, 162250000, 173500000, 225000000}) {
        double previous = -1000.0;
        for (int raw = 0; raw <= 255; ++raw) {
            const double level = Level(calibrator, hertz, uint8_t(raw));
            ASSERT_GT(level, previous) << hertz << " Hz, raw " << raw;
            previous = level;
        }
        EXPECT_NEAR(Level(calibrator, hertz, 0), -130.0, 3.0) << hertz;
        EXPECT_NEAR(Level(calibrator, hertz, 255), -30.0, 3.0) << hertz;
        atRaw128.push_back(Level(calibrator, hertz, 128));
    }
    // The curves depend on frequency, a little.
    const auto [low, high] = std::minmax_element(atRaw128.begin(), atRaw128.end());
    EXPECT_GT(*high - *low, 0.5);
    EXPECT_LT(*high - *low, 5.0);
}

TEST_F(SimCalLibraryTableTest, RefusesBrokenFilesWholeWithANegativeHandle) {
    const std::string table(CalTableFiles::kSmallTable);
    const auto replaced = [&table](const std::string& from, const std::string& to) {
        std::string text = table;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::vector<std::pair<const char*, std::string>> broken = {
        {"a curve that falls", replaced("51 -110.00", "51 -131.00")},
        {"a curve that stays level", replaced("51 -110.00", "51 -130.00")},
        {"raw values out of order", replaced("51 -110.00\n255", "255 -110.00\n51")},
        {"frequency points out of order", replaced("frequency 200000000", "frequency 90000000")},
        {"truncated before its end", table.substr(0, table.size() - 4)},
        {"truncated mid-line", table.substr(0, table.find("51 -1") + 3)},
        {"a raw value beyond 255", replaced("255 -30.00", "256 -30.00")},
        {"three decimals", replaced("-110.00", "-110.001")},
        {"text after the end", table + "mode 4\n"},
        {"a mode without frequency points", replaced("mode 3\n", "mode 1\nmode 3\n")},
        {"a frequency point without levels", replaced("0 -128.00\n255 -28.00\n", "")},
        {"another format", replaced("K740CAL 1", "K740CAL 2")},
        {"no model", replaced("model QVK740R\n", "")},
        {"garbage", std::string("\x7f"
                                "ELF\x02\x01\x01",
                                7) +
                        std::string(3, '\0') + "\xff\xfe garbage\n\n\r\x01"},
        {"nothing", ""},
        {"over 1 MiB", table + std::string(1 << 20, '#')},
    };
    for (const auto& [what, text] : broken) {
        auto calibrator = Load(text);
        EXPECT_TRUE(calibrator->IsLoaded()) << what;
        EXPECT_LT(calibrator->GetCalibrationHandle(), 0) << what;
        EXPECT_FALSE(calibrator->Calibrate(51).has_value()) << what;
    }
}

TEST_F(SimCalLibraryTableTest, AnswersOnlyCallsThatFitTheTable) {
    auto calibrator = Load(CalTableFiles::kSmallTable);
    CalRecord record{};
    record.size = sizeof(CalRecord);
    record.raw = 51;
    EXPECT_EQ(calibrator->GetCS("QVK740R", 3, 100000000, &record), -1);
    EXPECT_DOUBLE_EQ(double{record.dbm}, -110.0);

    record.dbm = 0.0;
    EXPECT_LT(calibrator->GetCS("QVK740RX", 3, 100000000, &record), -1);  // another model
    EXPECT_LT(calibrator->GetCS("QVK740R", 3, 0, &record), -1);           // no frequency
    EXPECT_LT(calibrator->GetCS("QVK740R", 3, 100000000, nullptr), -1);
    EXPECT_LT(calibrator->GetCS(nullptr, 3, 100000000, &record), -1);
    record.size = 32;
    EXPECT_LT(calibrator->GetCS("QVK740R", 3, 100000000, &record), -1);
    EXPECT_EQ(double{record.dbm}, 0.0);

    // Unloaded, the handle is gone.
    EXPECT_EQ(calibrator->Unload(), -1);
    EXPECT_LT(calibrator->Unload(), -1);
    EXPECT_FALSE(calibrator->Calibrate(51).has_value());
}
