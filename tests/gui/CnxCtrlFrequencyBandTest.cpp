#include "tuning/CnxCtrlFrequencyBand.h"

#include <gtest/gtest.h>

#include <QString>
#include <QTemporaryDir>
#include <fstream>

#include "GuiTestSupport.h"

namespace {

class CnxCtrlFrequencyBandDisplay : public ::testing::Test {
protected:
    CnxCtrlFrequencyBandDisplay() { EnsureQtApp(); }

    std::string Write(const std::string& name, const std::string& content) {
        const std::string path = dir_.filePath(QString::fromStdString(name)).toStdString();
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    QTemporaryDir dir_;
};

const QString kNoFile = QString::fromLatin1(CnxCtrlFrequencyBand::kNoBandFileText);

}  // namespace

TEST_F(CnxCtrlFrequencyBandDisplay, ShowsTheFirstBandHoldingTheFrequencyAndReloadsForANewPath) {
    const std::string path = Write("Channels.csv", "140,150,Mid\n136,174,\"Sonobuoy, all\"\n");
    CnxCtrlFrequencyBand display(path);
    EXPECT_EQ(display.GetBandName(), kNoFile);  // until the first frequency arrives
    display.SetFrequency(150000000);
    EXPECT_EQ(display.GetBandName(), "Mid");
    display.SetFrequency(200000000);
    EXPECT_EQ(display.GetBandName(), " ");

    display.SetFrequency(145000000);
    display.SetPath(path);  // same path: the file is not read again
    Write("Channels.csv", "140,150,Edited\n");
    display.SetFrequency(145000000);
    EXPECT_EQ(display.GetBandName(), "Mid");

    display.SetPath(Write("second.csv", "140,150,Second\n"));
    EXPECT_EQ(display.GetBandName(), "Second");
}

TEST_F(CnxCtrlFrequencyBandDisplay, MissingFileShowsTheNoteUntilAFrequencyIsShown) {
    CnxCtrlFrequencyBand display(dir_.filePath("absent.csv").toStdString());
    EXPECT_EQ(display.GetBandName(), kNoFile);
    EXPECT_TRUE(display.GetBands().IsEmpty());
    display.SetFrequency(162250000);
    EXPECT_EQ(display.GetBandName(), " ");

    // Nothing was loaded, so a new path is only remembered.
    const std::string other = Write("other.csv", "160,170,High\n");
    display.SetPath(other);
    EXPECT_TRUE(display.GetBands().IsEmpty());
}
