#include <gtest/gtest.h>

#include <thread>

#include "GuiTestSupport.h"
#include "app/CnxK740RXDlgSplash.h"
#include "app/CnxThreadSplash.h"
#include "core/TmyComponent.h"

TEST(CnxThreadSplash, ShowsTextAndProgressFromAnyThreadUntilReleased) {
    EnsureQtApp();
    QWidget owner;
    CnxThreadSplash splash(&owner);
    const CnxK740RXDlgSplash* window = splash.Window();
    ASSERT_NE(window, nullptr);

    // From the window thread the text is shown at once.
    splash.SetText("Calibration ready", 11);  // a length shows only that many characters
    EXPECT_EQ(window->Text(), "Calibration");
    splash.SetPosition(26);
    EXPECT_EQ(window->Progress(), 26);

    // From another thread it travels as a posted message.
    std::thread worker([&] {
        splash.SetText("from a worker", 0);
        splash.SetPosition(95);
    });
    worker.join();
    ASSERT_TRUE(PumpUntil([&] { return window->Progress() == 95; }));
    EXPECT_EQ(window->Text(), "from a worker");

    const HWND handle = splash.GetWindowHandle();
    splash.Release();
    EXPECT_EQ(splash.GetWindowHandle(), HWND(0));
    EXPECT_EQ(splash.Window(), nullptr);
    // Reporting to a splash that is gone does nothing.
    splash.SetText("late", 0);
    splash.SetPosition(100);
    EXPECT_FALSE(PostMessage(handle, WM_SPLASH_PROGRESS, 50, 0));
}
