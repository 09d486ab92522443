// The program installed into an empty prefix runs from there, with its libraries and files.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "ProgramProcess.h"

namespace {

// Installs this build into `prefix`; false (with cmake's output) when that fails.
bool Install(const QString& prefix, QString& output) {
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start(K740_CMAKE_COMMAND, {"--install", K740_BUILD_DIR, "--prefix", prefix});
    const bool finished = cmake.waitForFinished(120000);
    output = QString::fromLocal8Bit(cmake.readAll());
    return finished && cmake.exitStatus() == QProcess::NormalExit && cmake.exitCode() == 0;
}

TEST(Installation, InstalledProgramRunsFromItsPrefixAndClosesCleanly) {
    App();
    QTemporaryDir prefix;
    QString log;
    ASSERT_TRUE(Install(prefix.path(), log)) << log.toStdString();

    // One folder holds the program and everything it loads or reads by name; bin/ points there.
    const QString folder = prefix.path() + "/" + K740_INSTALL_DIR;
    for (const char* name :
         {"k740rx", "libQVK740RXAPI.so", "libsmetersdk.so", "qvk74m.cal", "libaspect_vcl.so",
          "demo.wav", "k740rx-mixer-unit", "Channels.csv", "K740RX.txt", "help/index.html"}) {
        EXPECT_TRUE(QFileInfo::exists(folder + "/" + name)) << name;
    }
    const QFileInfo launcher(prefix.path() + "/bin/k740rx");
    ASSERT_TRUE(launcher.isSymLink());
    EXPECT_EQ(launcher.canonicalFilePath(), QFileInfo(folder + "/k740rx").canonicalFilePath());

    // A simulated radio shows that the driver library came from the installed folder: without it
    // the program would run its demo receivers.
    Folders dirs;
    const QString sim = dirs.WriteRadios("[radio0]\nserial = 5150001\nproduct = K7USB-I\n");

    Program program(dirs.home.path(), dirs.runtime.path(), sim);
    ASSERT_TRUE(program.StartShown({}, launcher.filePath())) << program.Output().toStdString();
    EXPECT_TRUE(program.Output().contains("start-up: Calibration ready"));
    ASSERT_TRUE(program.EndInOrder()) << program.Output().toStdString();

    const QString ini = ReadText(dirs.IniPath());
    EXPECT_NE(SectionValue(ini, "MAIN", "WP_Length"), "");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "SerialNumber"), "5150001");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "ProductName"), "K7USB-I");

    // Without the calibration library the start-up says so and the program runs all the same.
    ASSERT_TRUE(QFile::remove(folder + "/libsmetersdk.so"));
    Program uncalibrated(dirs.home.path(), dirs.runtime.path(), sim);
    ASSERT_TRUE(uncalibrated.StartShown({}, launcher.filePath()))
        << uncalibrated.Output().toStdString();
    EXPECT_TRUE(uncalibrated.Output().contains("start-up: Initializing failed"));
    EXPECT_TRUE(uncalibrated.EndInOrder()) << uncalibrated.Output().toStdString();
}

}  // namespace
