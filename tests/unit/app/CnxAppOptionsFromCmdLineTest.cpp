#include <gtest/gtest.h>

#include "app/CnxCmdLineParser.h"
#include "settings/CnxAppOptions.h"

namespace {

class AppOptionsFromCmdLine : public testing::Test {
protected:
    void SetUp() override { ResetAppOptions(); }
    void TearDown() override { ResetAppOptions(); }

    // Reads a command line into fresh options and gives them back, each as "+name" when given or
    // "-name" when not, with its value where it has one.
    static std::string Read(const char* commandLine) {
        ResetAppOptions();
        ReadAppOptions(CnxCmdLineParser(commandLine));
        std::string text;
        for (const auto& [name, option] : {std::pair{"nspectrum", &g_optNSpectrum},
                                           {"nsplash", &g_optNSplash},
                                           {"log", &g_optLog}}) {
            text += (option->present ? "+" : "-") + std::string(name) + " ";
        }
        for (const auto& [name, option] : {std::pair{"settle1", &g_optSettle1},
                                           {"settle2", &g_optSettle2},
                                           {"itime", &g_optITime},
                                           {"rigctl", &g_optRigctl}}) {
            text += (option->present ? "+" : "-") + std::string(name) + "=" +
                    std::to_string(option->value) + " ";
        }
        return text + g_optRigctlAddress;
    }
};

}  // namespace

TEST_F(AppOptionsFromCmdLine, IntegerOptionsTakeOnlyNonEmptyValues) {
    EXPECT_EQ(Read("-itime=2000 -settle1=-3 -settle2:+12ms"),
              "-nspectrum -nsplash -log +settle1=-3 +settle2=12 +itime=2000 -rigctl=4532 ");
    for (const char* bare : {"-itime -settle2", "-itime= -settle2=", "-itime 3000 -settle2"}) {
        EXPECT_EQ(Read(bare),
                  "-nspectrum -nsplash -log -settle1=15 +settle2=5 +itime=5000 -rigctl=4532 ")
            << bare;
    }
    EXPECT_EQ(Read("-settle2=abc"),
              "-nspectrum -nsplash -log -settle1=15 +settle2=0 -itime=5000 -rigctl=4532 ");
}

TEST_F(AppOptionsFromCmdLine, FlagsIgnoreCaseAndUnknownOptionsChangeNothing) {
    EXPECT_EQ(Read("/NSPLASH -NSpectrum /log:1"),
              "+nspectrum +nsplash +log -settle1=15 -settle2=5 -itime=5000 -rigctl=4532 ");
    EXPECT_EQ(Read("-foo=1 -itimes=7 -settle=3"), Read(""));
}

TEST_F(AppOptionsFromCmdLine, RigctlTurnsRemoteControlOnWithItsPortAndAddress) {
    EXPECT_EQ(Read("-RIGCTL"),
              "-nspectrum -nsplash -log -settle1=15 -settle2=5 -itime=5000 +rigctl=4532 ");
    EXPECT_EQ(Read("-nsplash /rigctl:4600"),
              "-nspectrum +nsplash -log -settle1=15 -settle2=5 -itime=5000 +rigctl=4600 ");
    EXPECT_EQ(Read("-rigctl=0.0.0.0:4610 -log"),
              "-nspectrum -nsplash +log -settle1=15 -settle2=5 -itime=5000 +rigctl=4610 0.0.0.0");
}
