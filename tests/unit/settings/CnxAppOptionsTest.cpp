#include "settings/CnxAppOptions.h"

#include <gtest/gtest.h>

#include <climits>

// A leading decimal number, zero for text that is none, saturated beyond 32 bits.
TEST(CnxAppOptions, ParseOptionInteger) {
    const std::string huge(26, '9');
    // clang-format off
    const std::pair<std::string, int> cases[] = {
        {"2000", 2000}, {" \t\n42", 42}, {"-17", -17}, {"+8", 8}, {"12abc", 12}, {"007", 7},
        {"1 2", 1}, {"", 0}, {"abc", 0}, {"-", 0}, {"+", 0}, {" ", 0}, {"- 5", 0}, {"+-3", 0},
        {"\2405", 0}, {"x12", 0}, {"2147483647", INT_MAX}, {"2147483648", INT_MAX},
        {huge, INT_MAX}, {"-2147483648", INT_MIN}, {"-2147483649", INT_MIN}, {"-" + huge, INT_MIN}};
    // clang-format on
    for (const auto& [text, value] : cases) {
        EXPECT_EQ(ParseOptionInteger(text.c_str()), value) << text;
    }
}

TEST(CnxAppOptions, TheRigctlValueMayNameAnAddressBeforeThePortAndResetForgetsIt) {
    const struct {
        const char* text;
        const char* address;
        int port;
    } cases[] = {{"4600", "", 4600},
                 {"0.0.0.0:4610", "0.0.0.0", 4610},
                 {"192.168.1.5:", "192.168.1.5", 4532},
                 {"[::]:4620", "::", 4620},
                 {"[::1]", "::1", 4532},
                 {"[fe80::1", "fe80::1", 4532},
                 {"host:port", "host", 0},
                 {":4630", "", 4630}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ResetAppOptions();
        ReadRigctlOption(c.text);
        EXPECT_EQ(g_optRigctlAddress, c.address);
        EXPECT_EQ(g_optRigctl.value, c.port);
    }
    g_optNSplash = g_optSettle1 = g_optSettle2 = g_optITime = {true, 1};
    ResetAppOptions();
    EXPECT_EQ(g_optRigctlAddress, "");
    EXPECT_EQ(g_optRigctl.value, 4532);
    EXPECT_FALSE(g_optNSplash.present || g_optSettle1.present || g_optSettle2.present ||
                 g_optITime.present);
}
