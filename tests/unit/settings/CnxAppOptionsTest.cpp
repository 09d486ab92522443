#include "settings/CnxAppOptions.h"

#include <gtest/gtest.h>

#include <climits>

TEST(CnxAppOptions, ParseOptionIntegerReadsALeadingDecimalNumber) {
    EXPECT_EQ(ParseOptionInteger("2000"), 2000);
    EXPECT_EQ(ParseOptionInteger(" \t\n42"), 42);
    EXPECT_EQ(ParseOptionInteger("-17"), -17);
    EXPECT_EQ(ParseOptionInteger("+8"), 8);
    EXPECT_EQ(ParseOptionInteger("12abc"), 12);
    EXPECT_EQ(ParseOptionInteger("007"), 7);
    EXPECT_EQ(ParseOptionInteger("1 2"), 1);
}

TEST(CnxAppOptions, ParseOptionIntegerGivesZeroForTextThatIsNoNumber) {
    for (const char* text : {"", "abc", "-", "+", " ", "- 5", "+-3",
                             "\xA0"
                             "5",
                             "x12"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(ParseOptionInteger(text), 0);
    }
}

TEST(CnxAppOptions, ParseOptionIntegerSaturatesBeyond32Bits) {
    EXPECT_EQ(ParseOptionInteger("2147483647"), INT_MAX);
    EXPECT_EQ(ParseOptionInteger("2147483648"), INT_MAX);
    EXPECT_EQ(ParseOptionInteger("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseOptionInteger("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseOptionInteger("-2147483649"), INT_MIN);
    EXPECT_EQ(ParseOptionInteger("-99999999999999999999999999"), INT_MIN);
}

TEST(CnxAppOptions, ResetRestoresTheStartValues) {
    g_optNSplash = {true, 0};
    g_optSettle1 = {true, 1};
    g_optSettle2 = {true, 2};
    g_optITime = {true, 3};
    ResetAppOptions();
    EXPECT_FALSE(g_optNSplash.present);
    EXPECT_FALSE(g_optSettle1.present);
    EXPECT_EQ(g_optSettle1.value, 15);
    EXPECT_EQ(g_optSettle2.value, 5);
    EXPECT_EQ(g_optITime.value, 5000);
    EXPECT_FALSE(g_optITime.present);
}
