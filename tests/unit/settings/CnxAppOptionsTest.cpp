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

TEST(CnxAppOptions, TheRigctlValueMayNameAnAddressBeforeThePort) {
    const struct {
        const char* text;
        const char* address;
        int port;
    } cases[] = {
        {"4600", "", 4600},
        {"0.0.0.0:4610", "0.0.0.0", 4610},
        {"192.168.1.5:", "192.168.1.5", 4532},
        {"[::]:4620", "::", 4620},
        {"[::1]", "::1", 4532},
        {"[fe80::1", "fe80::1", 4532},
        {"host:port", "host", 0},
        {":4630", "", 4630},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ResetAppOptions();
        ReadRigctlOption(c.text);
        EXPECT_EQ(g_optRigctlAddress, c.address);
        EXPECT_EQ(g_optRigctl.value, c.port);
    }
    ResetAppOptions();
    EXPECT_EQ(g_optRigctlAddress, "");
    EXPECT_EQ(g_optRigctl.value, 4532);
}
