#include <gtest/gtest.h>

#include "app/CnxCmdLineParser.h"
#include "settings/CnxAppOptions.h"

namespace {

class AppOptionsFromCmdLine : public testing::Test {
protected:
    void SetUp() override { ResetAppOptions(); }
    void TearDown() override { ResetAppOptions(); }

    static void Read(const char* commandLine) { ReadAppOptions(CnxCmdLineParser(commandLine)); }
};

bool operator==(const SnxAppOption& a, const SnxAppOption& b) {
    return a.present == b.present && a.value == b.value;
}

}  // namespace

TEST_F(AppOptionsFromCmdLine, WithoutOptionsEverythingKeepsItsDefault) {
    Read("");
    EXPECT_FALSE(g_optNSpectrum.present);
    EXPECT_FALSE(g_optNSplash.present);
    EXPECT_FALSE(g_optLog.present);
    EXPECT_TRUE((g_optSettle1 == SnxAppOption{false, 15}));
    EXPECT_TRUE((g_optSettle2 == SnxAppOption{false, 5}));
    EXPECT_TRUE((g_optITime == SnxAppOption{false, 5000}));
    EXPECT_TRUE((g_optRigctl == SnxAppOption{false, 4532}));
}

TEST_F(AppOptionsFromCmdLine, IntegerOptionsTakeOnlyNonEmptyValues) {
    Read("-itime=2000 -settle1=-3 -settle2:+12ms");
    EXPECT_TRUE((g_optITime == SnxAppOption{true, 2000}));
    EXPECT_TRUE((g_optSettle1 == SnxAppOption{true, -3}));
    EXPECT_TRUE((g_optSettle2 == SnxAppOption{true, 12}));

    for (const char* bare : {"-itime -settle2", "-itime= -settle2=", "-itime 3000 -settle2"}) {
        SCOPED_TRACE(bare);
        ResetAppOptions();
        Read(bare);
        EXPECT_TRUE((g_optITime == SnxAppOption{true, 5000}));
        EXPECT_TRUE((g_optSettle2 == SnxAppOption{true, 5}));
    }

    Read("-settle2=abc");
    EXPECT_TRUE((g_optSettle2 == SnxAppOption{true, 0}));
}

TEST_F(AppOptionsFromCmdLine, FlagsIgnoreCaseAndUnknownOptionsChangeNothing) {
    Read("/NSPLASH -NSpectrum /log:1");
    EXPECT_TRUE(g_optNSplash.present);
    EXPECT_TRUE(g_optNSpectrum.present);
    EXPECT_TRUE(g_optLog.present);
    EXPECT_FALSE(g_optITime.present);

    ResetAppOptions();
    Read("-foo=1 -itimes=7 -settle=3");
    EXPECT_FALSE(g_optNSplash.present || g_optNSpectrum.present || g_optLog.present);
    EXPECT_TRUE((g_optSettle1 == SnxAppOption{false, 15}));
    EXPECT_TRUE((g_optSettle2 == SnxAppOption{false, 5}));
    EXPECT_TRUE((g_optITime == SnxAppOption{false, 5000}));
}

TEST_F(AppOptionsFromCmdLine, RigctlTurnsRemoteControlOnWithItsPortAndAddress) {
    Read("-RIGCTL");
    EXPECT_TRUE((g_optRigctl == SnxAppOption{true, 4532}));
    EXPECT_EQ(g_optRigctlAddress, "");

    ResetAppOptions();
    Read("-nsplash /rigctl:4600");
    EXPECT_TRUE((g_optRigctl == SnxAppOption{true, 4600}));

    ResetAppOptions();
    Read("-rigctl=0.0.0.0:4610 -log");
    EXPECT_TRUE((g_optRigctl == SnxAppOption{true, 4610}));
    EXPECT_EQ(g_optRigctlAddress, "0.0.0.0");
    EXPECT_TRUE(g_optLog.present);
}
