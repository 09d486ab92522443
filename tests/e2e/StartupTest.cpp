// Starting and ending the program as an operator meets it: a close while it is still starting,
// the signals a desktop sends, and the settings each way of ending leaves behind.
#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <memory>

#include "ProgramProcess.h"

namespace {

// The placement is only filled in when the program ends in order, so a non-zero length shows
// that the settings were written at the end of this run.
bool PlacementWritten(const Folders& dirs) {
    const QString length = SectionValue(ReadText(dirs.IniPath()), "MAIN", "WP_Length");
    return !length.isEmpty() && length != "0";
}

// No sound server and no virtual sound card: the program meets its sound-card box at start.
void WithoutSoundServer(Program& program, const Folders& dirs) {
    program.SetEnvironment("K740RX_AUDIO");
    program.SetEnvironment("PULSE_SERVER", "unix:" + dirs.runtime.path() + "/no-server");
}

// Once asked to end, it ends within the time, in order, its settings written.
void ExpectEndsInOrder(Program& program, const Folders& dirs, int timeoutMs) {
    ASSERT_TRUE(program.WaitForExit(timeoutMs)) << program.Output().toStdString();
    EXPECT_EQ(program.ExitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.ExitCode(), 0) << program.Output().toStdString();
    EXPECT_TRUE(PlacementWritten(dirs)) << ReadText(dirs.IniPath()).toStdString();
}

TEST(ProgramStartup, AnEarlyTerminateEndsItSoonWhateverTheReadyPollPeriod) {
    App();
    Folders dirs;
    Program program(dirs.home.path(), dirs.runtime.path());
    // No sound server either: a close asked for early must not wait on a sound-card box.
    WithoutSoundServer(program, dirs);
    program.Start({"-itime=600000"});  // with the splash, which a close must also end
    QThread::msleep(1000);
    program.Terminate();
    ExpectEndsInOrder(program, dirs, 10000);
}

// Without a sound server the sound-card box comes up at start; a signal still closes the program,
// box and all, with the settings saved.
TEST(ProgramStartup, ATerminateClosesItWhileTheSoundCardBoxIsOpen) {
    App();
    Folders dirs;
    Program program(dirs.home.path(), dirs.runtime.path());
    WithoutSoundServer(program, dirs);
    program.Start({"-nsplash", "-itime=500"});
    ASSERT_TRUE(program.WaitForOutput("sound device box", kStartTimeout))
        << program.Output().toStdString();
    program.Terminate();
    ExpectEndsInOrder(program, dirs, 30000);
}

// The terminal that started it goes away: it ends as if its window were closed.
TEST(ProgramStartup, AHangUpClosesItInOrder) {
    App();
    Folders dirs;
    Program program(dirs.home.path(), dirs.runtime.path());
    ASSERT_TRUE(program.StartShown()) << program.Output().toStdString();
    program.Signal(SIGHUP);
    ExpectEndsInOrder(program, dirs, 30000);
}

// A settings folder that cannot hold the lock does not keep the receivers from coming up: the lock
// goes to the runtime folder, still one per settings folder, and the window says when the settings
// cannot be saved.
TEST(ProgramStartup, ASettingsFolderThatCannotHoldTheLockStillRunsOneInstance) {
    App();
    const struct {
        const char* obstacle;
        bool runtimeFolderSet;  // otherwise the lock goes to a folder of the user's own in /tmp
        bool settingsSaved;
    } cases[] = {{"Documents/Quorvant is a file", true, false},
                 {"Documents/Quorvant/K740RX/K740RX.lock is a folder", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.obstacle);
        Folders dirs;
        if (c.settingsSaved) {
            ASSERT_TRUE(QDir().mkpath(dirs.home.path() + "/Documents/Quorvant/K740RX/K740RX.lock"));
        } else {
            ASSERT_TRUE(QDir().mkpath(dirs.home.path() + "/Documents"));
            QFile file(dirs.home.path() + "/Documents/Quorvant");
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        const auto program = [&] {
            auto started = std::make_unique<Program>(dirs.home.path(), dirs.runtime.path());
            if (!c.runtimeFolderSet) {
                started->SetEnvironment("XDG_RUNTIME_DIR");
            }
            return started;
        };
        const auto first = program();
        ASSERT_TRUE(first->StartShown()) << first->Output().toStdString();
        if (!c.settingsSaved) {
            EXPECT_TRUE(first->WaitForOutput("Settings not saved", 30000))
                << first->Output().toStdString();
        }

        const auto second = program();
        second->Start({"-nsplash"});
        ASSERT_TRUE(second->WaitForExit(20000)) << second->Output().toStdString();
        EXPECT_EQ(second->ExitCode(), 0);
        EXPECT_FALSE(second->Output().contains(kShownLine)) << second->Output().toStdString();

        ASSERT_TRUE(first->EndInOrder()) << first->Output().toStdString();
        EXPECT_EQ(PlacementWritten(dirs), c.settingsSaved);
        EXPECT_EQ(first->Output().contains("Settings not saved"), !c.settingsSaved)
            << first->Output().toStdString();
    }
}

// Without any lock it could run twice on one settings file: when neither the settings folder nor
// the runtime folder can hold one, it says why and ends with a failure status.
TEST(ProgramStartup, WhenNoFolderCanHoldTheLockTheStartEndsWithTheReason) {
    App();
    Folders dirs;
    ASSERT_TRUE(QDir().mkpath(dirs.home.path() + "/Documents"));
    for (const QString& file :
         {dirs.home.path() + "/Documents/Quorvant", dirs.runtime.path() + "/file"}) {
        QFile blocker(file);
        ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    }
    Program program(dirs.home.path(), dirs.runtime.path());
    program.SetEnvironment("XDG_RUNTIME_DIR", dirs.runtime.path() + "/file");
    program.Start({"-nsplash"});
    ASSERT_TRUE(program.WaitForExit(20000)) << program.Output().toStdString();
    EXPECT_EQ(program.ExitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.ExitCode(), 1);
    for (const QString& text :
         {QString("K740RX cannot start"), dirs.runtime.path() + "/file/K740RX-",
          QString("Not a directory")}) {
        EXPECT_TRUE(program.Output().contains(text)) << program.Output().toStdString();
    }
    EXPECT_FALSE(program.Output().contains(kShownLine));
}

// The debug lines of one run, told apart from the others by the message pattern.
QStringList DebugLines(const QStringList& options, const QString& loggingRules) {
    Folders dirs;
    Program program(dirs.home.path(), dirs.runtime.path());
    program.SetEnvironment("QT_MESSAGE_PATTERN", "%{type}|%{category}|%{message}");
    if (loggingRules.isEmpty()) {
        program.SetEnvironment("QT_LOGGING_RULES");
    } else {
        program.SetEnvironment("QT_LOGGING_RULES", loggingRules);
    }
    EXPECT_TRUE(program.StartShown(options) && program.EndInOrder())
        << program.Output().toStdString();
    return program.Output().split('\n').filter(QRegularExpression("^debug\\|k740"));
}

// Debug lines are for whoever looks for them: off in a normal run, on with -log or the rules.
TEST(ProgramStartup, DebugLinesOnlyWhenAskedFor) {
    App();
    EXPECT_EQ(DebugLines({}, QString()).join('\n').toStdString(), "");
    EXPECT_FALSE(DebugLines({"-log"}, QString()).isEmpty());
    EXPECT_FALSE(DebugLines({}, "k740.receiver.debug=true").isEmpty());
}

// Qt ends the program at once when its display goes; what was saved before stays saved.
TEST(ProgramStartup, ALostDisplayLosesOnlyTheLastSeconds) {
    ASSERT_FALSE(QStandardPaths::findExecutable("Xvfb").isEmpty())
        << "Xvfb (Debian package xvfb, installed by scripts/install-deps) is missing";
    App();
    Folders dirs;
    const QString sim =
        dirs.WriteRadios("[radio0]\nserial = 4711001\nproduct = K7USB-A\nconnected = 1\n");
    XServer x;
    ASSERT_FALSE(x.Display().isEmpty());

    Program program(dirs.home.path(), dirs.runtime.path(), sim);
    program.SetEnvironment("QT_QPA_PLATFORM", "xcb");
    program.SetEnvironment("DISPLAY", x.Display());
    ASSERT_TRUE(program.StartShown()) << program.Output().toStdString();
    // The radio took slot 0 at start; the running program writes that down by itself.
    QElapsedTimer waited;
    waited.start();
    while (SectionValue(ReadText(dirs.IniPath()), "RECEIVER 0", "SerialNumber") != "4711001" &&
           waited.elapsed() < 30000) {
        program.WaitForExit(100);
    }
    x.Stop();
    ASSERT_TRUE(program.WaitForExit(30000)) << program.Output().toStdString();
    EXPECT_EQ(SectionValue(ReadText(dirs.IniPath()), "RECEIVER 0", "SerialNumber"), "4711001")
        << ReadText(dirs.IniPath()).toStdString();
}

}  // namespace
