#include "app/CnxWindowPlacement.h"

#include <gtest/gtest.h>

namespace {

const QSize kMinimum(960, 448);
const QRect kLeftScreen(0, 0, 1920, 1050);  // its panel takes the bottom 30 pixels
const QRect kRightScreen(1920, 0, 1280, 1024);

TEST(CnxWindowPlacement, APlacementThatFitsStaysAndAWindowOffEveryScreenComesBackWhole) {
    const QRect saved(100, 80, 1000, 700);
    EXPECT_EQ(CnxWindowPlacement::Fit(saved, kMinimum, {kLeftScreen, kRightScreen}), saved);
    const QRect onRight(2000, 10, 1100, 900);
    EXPECT_EQ(CnxWindowPlacement::Fit(onRight, kMinimum, {kLeftScreen, kRightScreen}), onRight);
    // Saved on a third screen that is gone: it comes back onto the first.
    EXPECT_EQ(
        CnxWindowPlacement::Fit({3300, 200, 1000, 700}, kMinimum, {kLeftScreen, kRightScreen}),
        QRect(920, 200, 1000, 700));
    EXPECT_EQ(CnxWindowPlacement::Fit({-5000, -3000, 1000, 700}, kMinimum, {kLeftScreen}),
              QRect(0, 0, 1000, 700));
    // Half off the right screen's bottom: pulled up onto it, not over to the other screen.
    EXPECT_EQ(
        CnxWindowPlacement::Fit({2100, 700, 1000, 700}, kMinimum, {kLeftScreen, kRightScreen}),
        QRect(2100, 324, 1000, 700));
}

TEST(CnxWindowPlacement, SizesStayBetweenTheMinimumAndTheScreen) {
    EXPECT_EQ(CnxWindowPlacement::Fit({10, 10, 100000, 100000}, kMinimum, {kLeftScreen}),
              kLeftScreen);
    EXPECT_EQ(CnxWindowPlacement::Fit({10, 10, 100, 100}, kMinimum, {kLeftScreen}),
              QRect(10, 10, 960, 448));
    // A screen smaller than the minimum: the minimum wins, from the screen's corner.
    EXPECT_EQ(CnxWindowPlacement::Fit({50, 50, 2000, 2000}, kMinimum, {QRect(0, 0, 800, 600)}),
              QRect(0, 0, 960, 600));
    EXPECT_EQ(CnxWindowPlacement::Fit({10, 10, 100, 100}, kMinimum, {}), QRect(10, 10, 960, 448));
}

TEST(CnxWindowPlacement, TheFirstWindowTakesMostOfTheScreenCentredButNoMoreThanItUses) {
    // A laptop, and a 2560 x 1600 screen at a scale factor of 2: nine tenths of it.
    EXPECT_EQ(CnxWindowPlacement::First(kMinimum, QRect(0, 0, 1280, 800)),
              QRect(64, 40, 1152, 720));
    // A wide screen: no wider than the bars can use, in its middle.
    EXPECT_EQ(CnxWindowPlacement::First(kMinimum, kLeftScreen), QRect(120, 52, 1680, 945));
    EXPECT_EQ(CnxWindowPlacement::First(kMinimum, kRightScreen), QRect(1984, 51, 1152, 921));
    // A screen smaller than the layout needs: the minimum, from the screen's corner.
    EXPECT_EQ(CnxWindowPlacement::First(kMinimum, QRect(0, 0, 800, 400)), QRect(0, 0, 960, 448));
}

}  // namespace
