// The Info window over simulated radios: choosing one flashes its LED and shows its record, each
// value under its name.
#include "app/CnxK740RXDlgReceiverList.h"

#include "MainWindowFixture.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/CnxK740RX_ReceiverManager.h"

TEST_F(MainWindowTest, InfoWindowNamesEachValueOfTheChosenRadio) {
    WriteSimulation(
        "[radio0]\nserial = 4711001\nproduct = K7USB-A\nfirmware = 258\nhardware = 3\n"
        "[radio1]\nserial = 4711002\nproduct = K7PCI-B\nfirmware = 1024\nhardware = 7\n");
    Start();
    CnxK740RX_ReceiverManager* manager = window_->Manager();
    ASSERT_NE(manager, nullptr);
    {
        CnxK740RXDlgReceiverList dialog(window_.get(), manager, 2);
        dialog.Choose(2);
        EXPECT_EQ(dialog.RecordText(), "Product: K7PCI-B\nValue A: 1024 Hz\nValue B: 7 Hz");
        EXPECT_EQ(manager->GetReceiver(1)->GetLEDFlashPattern(), CnxK740RXReceiver::kLedPointedOut);
        dialog.Choose(1);
        EXPECT_EQ(dialog.RecordText(), "Product: K7USB-A\nValue A: 258 Hz\nValue B: 3 Hz");
        EXPECT_EQ(manager->GetReceiver(1)->GetLEDFlashPattern(), CnxK740RXReceiver::kLedNormal);
    }
    // Closed, the unit chosen last flashes as before.
    EXPECT_EQ(manager->GetReceiver(0)->GetLEDFlashPattern(), CnxK740RXReceiver::kLedNormal);
}
