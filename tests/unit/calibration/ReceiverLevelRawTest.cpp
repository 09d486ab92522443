// A receiver's calibrated level of its raw strength value: through the calibrator when the library
// fills the record, by the linear mapping (raw 0 -> -130 dBm, 255 -> -30 dBm) otherwise.
#include <gtest/gtest.h>

#include "CalTableFiles.h"
#include "TestSupport.h"
#include "calibration/CnxK740RXCalibratorSMeter.h"
#include "receiver/CnxK740RXReceiver.h"

namespace {

// Full scale at raw 255 and a floor below the linear one, so either path shows.
constexpr std::string_view kTable =
    "K740CAL 1\n"
    "model QVK740R\n"
    "mode 3\n"
    "frequency 136000000\n"
    "0 -131.50\n"
    "255 -27.25\n"
    "end\n";

class ReceiverLevelRawTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApp();
        // One radio tuned (by default) to 136 MHz, where a signal strong enough for raw 255 is.
        qputenv("QVK740RX_SIM",
                QByteArray::fromStdString(files_.Write(
                    "radios.ini", "[radio0]\nserial = 4711001\n[signals]\n136000000 = 0\n")));
    }

    // A receiver with the simulated radio open, or (open = false) with no radio at all.
    std::unique_ptr<CnxK740RXReceiver> NewReceiver(CnxK740RXCalibratorSMeter* calibrator,
                                                   bool open) {
        auto receiver =
            std::make_unique<CnxK740RXReceiver>("QVK740RXAPI.dll", nullptr, 0, calibrator);
        receiver->Enumerate();
        if (open) {
            EXPECT_NE(receiver->OpenBySerial("4711001"), nullptr);
        }
        return receiver;
    }

    CalTableFiles files_;
};

}  // namespace

TEST_F(ReceiverLevelRawTest, WithoutAUsableCalibrationRawValuesMapLinearly) {
    CnxK740RXCalibratorSMeter refused(CalTableFiles::kLibrary,
                                      files_.Write("broken.cal", "K740CAL 1\ngarbage\n"));
    ASSERT_TRUE(refused.IsLoaded());
    ASSERT_FALSE(refused.IsCalibrationLoaded());
    EXPECT_DOUBLE_EQ(NewReceiver(&refused, true)->GetLevelRaw(), -30.0);
    // No radio: the driver answers raw 0.
    EXPECT_DOUBLE_EQ(NewReceiver(&refused, false)->GetLevelRaw(), -130.0);

    CnxK740RXCalibratorSMeter absent("NoSuchCalibration.dll", CalTableFiles::Shipped());
    EXPECT_DOUBLE_EQ(NewReceiver(&absent, true)->GetLevelRaw(), -30.0);
    EXPECT_DOUBLE_EQ(NewReceiver(nullptr, false)->GetLevelRaw(), -130.0);
}

TEST_F(ReceiverLevelRawTest, WithACalibrationTheTableGivesTheLevel) {
    CnxK740RXCalibratorSMeter calibrator(CalTableFiles::kLibrary,
                                         files_.Write("table.cal", kTable));
    ASSERT_TRUE(calibrator.IsCalibrationLoaded());
    EXPECT_DOUBLE_EQ(NewReceiver(&calibrator, true)->GetLevelRaw(), -27.25);
    EXPECT_DOUBLE_EQ(NewReceiver(&calibrator, false)->GetLevelRaw(), -131.5);
}
