// Starting and ending the program as an operator meets it: a close while it is still starting,
// the signals a desktop sends, and the settings each way of ending leaves behind.
#include <gtest/gtest.h>

#include <QThread>

#include "ProgramProcess.h"

namespace {

// The placement is only filled in when the program ends in order, so a non-zero length shows
// that the settings were written at the end of this run.
bool PlacementWritten(const Folders& dirs) {
    const QString length = SectionValue(ReadText(dirs.IniPath()), "MAIN", "WP_Length");
    return !length.isEmpty() && length != "0";
}

TEST(ProgramStartup, AnEarlyTerminateEndsItSoonWhateverTheReadyPollPeriod) {
    App();
    Folders dirs;
    Program program(dirs.home.path(), dirs.runtime.path());
    program.Start({"-itime=600000"});  // with the splash, which a close must also end
    QThread::msleep(1000);
    program.Terminate();
    ASSERT_TRUE(program.WaitForExit(10000)) << program.Output().toStdString();
    EXPECT_EQ(program.ExitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_TRUE(PlacementWritten(dirs)) << ReadText(dirs.IniPath()).toStdString();
}

// The terminal that started it goes away: it ends as if its window were closed.
TEST(ProgramStartup, AHangUpClosesItInOrder) {
    App();
    Folders dirs;
    Program program(dirs.home.path(), dirs.runtime.path());
    program.Start({"-nsplash", "-itime=500"});
    ASSERT_TRUE(program.WaitForOutput(kShownLine, kStartTimeout)) << program.Output().toStdString();
    program.Signal(SIGHUP);
    ASSERT_TRUE(program.WaitForExit(30000)) << program.Output().toStdString();
    EXPECT_EQ(program.ExitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.ExitCode(), 0);
    EXPECT_TRUE(PlacementWritten(dirs)) << ReadText(dirs.IniPath()).toStdString();
}

}  // namespace
