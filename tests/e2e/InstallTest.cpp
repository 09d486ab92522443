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
    // The manual lies with the system's documentation, reached from the program's folder.
    const QString manual = prefix.path() + "/" + K740_DOC_DIR + "/html";
    EXPECT_TRUE(QFileInfo(folder + "/help").isSymLink());
    EXPECT_EQ(QFileInfo(folder + "/help/index.html").canonicalFilePath(),
              QFileInfo(manual + "/index.html").canonicalFilePath());
    // Where the desktop looks for the program's entry, data, icon and manual page.
    for (const QString name :
         {"share/applications/" K740_APP_ID ".desktop",
          "share/metainfo/" K740_APP_ID ".metainfo.xml",
          "share/icons/hicolor/scalable/apps/k740rx.svg",
          "share/icons/hicolor/48x48/apps/k740rx.png", "share/man/man1/k740rx.1"}) {
        EXPECT_TRUE(QFileInfo(prefix.path() + "/" + name).isFile()) << name.toStdString();
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

    // Without the calibration library the start-up says so and the program runs all the same.
    ASSERT_TRUE(QFile::remove(folder + "/libsmetersdk.so"));
    Program uncalibrated(dirs.home.path(), dirs.runtime.path(), sim);
    ASSERT_TRUE(uncalibrated.StartShown({}, launcher.filePath()))
        << uncalibrated.Output().toStdString();
    EXPECT_TRUE(uncalibrated.Output().contains("start-up: Initializing failed"));
    EXPECT_TRUE(uncalibrated.EndInOrder()) << uncalibrated.Output().toStdString();
}

}  // namespace
