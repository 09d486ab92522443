#include "smeter/CnxSMeterScale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

TEST(CnxSMeterScaleTest, LabelsChangeAtTheirThresholdsOnBothScales) {
    struct Case {
        double dbm;
        const char* linear;
        const char* standard;
    };
    const Case cases[] = {
        {-200.0, "S1", "S1"},      {-120.1, "S1", "S1"},       {-120.0, "S1", "S1"},
        {-114.1, "S1", "S1"},      {-114.0, "S2", "S2"},       {-72.1, "S8", "S8"},
        {-72.0, "S9", "S9"},       {-66.0, "S10", "S9"},       {-62.1, "S10", "S9"},
        {-62.0, "S10", "S9+10dB"}, {-42.0, "S14", "S9+30dB"},  {-36.0, "S15", "S9+30dB"},
        {-12.1, "S18", "S9+50dB"}, {-12.0, "S19", "S9+60dB"},  {27.9, "S19", "S9+90dB"},
        {28.0, "S19", "S9+100dB"}, {500.0, "S19", "S9+100dB"},
    };
    const CnxSMeterScale linear(CnxSMeterScale::Mode::kLinear);
    const CnxSMeterScale standard(CnxSMeterScale::Mode::kStandard);
    for (const Case& c : cases) {
        EXPECT_EQ(linear.Label(c.dbm), c.linear) << c.dbm;
        EXPECT_EQ(standard.Label(c.dbm), c.standard) << c.dbm;
    }
    EXPECT_EQ(linear.ShortLabel(-72.0), "9");
    EXPECT_EQ(linear.ShortLabel(-12.0), "19");
    EXPECT_EQ(standard.ShortLabel(-72.0), "9");
    EXPECT_EQ(standard.ShortLabel(-52.0), "+20");
    EXPECT_EQ(standard.ShortLabel(28.0), "+100");

    CnxSMeterScale switched;
    EXPECT_EQ(switched.Label(-52.0), "S12");
    switched.SetMode(CnxSMeterScale::Mode::kStandard);
    EXPECT_EQ(switched.Label(-52.0), "S9+20dB");
}

TEST(CnxSMeterScaleTest, TheMetersRangeRunsFromS1ToS14AndHoldsLevelsOutsideAtItsEnds) {
    const auto labels = [](const CnxSMeterScale& scale) {
        std::vector<std::string> list;
        for (const CnxSMeterScale::Unit& unit : scale.VisibleUnits()) {
            list.push_back(unit.label);
        }
        return list;
    };
    EXPECT_EQ(labels(CnxSMeterScale(CnxSMeterScale::Mode::kLinear)),
              (std::vector<std::string>{"S1", "S2", "S3", "S4", "S5", "S6", "S7", "S8", "S9", "S10",
                                        "S11", "S12", "S13", "S14"}));
    EXPECT_EQ(labels(CnxSMeterScale(CnxSMeterScale::Mode::kStandard)),
              (std::vector<std::string>{"S1", "S2", "S3", "S4", "S5", "S6", "S7", "S8", "S9",
                                        "S9+10dB", "S9+20dB", "S9+30dB"}));

    EXPECT_EQ(CnxSMeterScale::Clamp(-30.0), -40.0);
    EXPECT_EQ(CnxSMeterScale::Clamp(-130.0), -120.0);
    EXPECT_EQ(CnxSMeterScale::Clamp(std::nan("")), -120.0);
    EXPECT_EQ(CnxSMeterScale::Clamp(-57.5), -57.5);
    EXPECT_EQ(CnxSMeterScale::Position(-120.0), 0.0);
    EXPECT_EQ(CnxSMeterScale::Position(-80.0), 0.5);
    EXPECT_EQ(CnxSMeterScale::Position(-10.0), 1.0);
    EXPECT_DOUBLE_EQ(CnxSMeterScale::LevelAt(CnxSMeterScale::Position(-72.0)), -72.0);
    EXPECT_EQ(CnxSMeterScale::LevelAt(-0.5), -120.0);
}
