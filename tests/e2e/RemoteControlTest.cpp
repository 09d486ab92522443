// The program's receivers driven over the network by Hamlib's own rig-control client, as a logging
// program would drive them.
#include <gtest/gtest.h>

#include <QStandardPaths>
#include <QTcpServer>
#include <random>

#include "ProgramProcess.h"

namespace {

// A base port whose eight receiver ports are free just now.
int FreeBasePort() {
    std::mt19937 random(std::random_device{}());
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int base = 20000 + 16 * static_cast<int>(random() % 2500);
        bool free = true;
        for (int slot = 0; slot < 8 && free; ++slot) {
            QTcpServer probe;
            free = probe.listen(QHostAddress(QHostAddress::LocalHost), base + 2 * slot);
        }
        if (free) {
            return base;
        }
    }
    return 0;
}

struct RigctlRun {
    int exitCode = -1;
    std::string output, errors;
};

RigctlRun Rigctl(const QString& program, int port, const QStringList& commands) {
    QProcess process;
    process.start(program,
                  QStringList{"-m", "2", "-r", QString("127.0.0.1:%1").arg(port)} + commands);
    RigctlRun run;
    if (process.waitForFinished(60000)) {
        run.exitCode = process.exitCode();
    }
    run.output = process.readAllStandardOutput().toStdString();
    run.errors = process.readAllStandardError().toStdString();
    return run;
}

}  // namespace

TEST(ProgramRemoteControl, HamlibsClientDrivesTwoSimulatedRadios) {
    const QString rigctl = QStandardPaths::findExecutable("rigctl");
    ASSERT_FALSE(rigctl.isEmpty())
        << "rigctl missing: scripts/install-deps installs libhamlib-utils";
    App();
    Folders dirs;
    const QString sim = dirs.WriteRadios(
        "[radio0]\nserial = 4711001\nproduct = K7USB-A\n"
        "[radio1]\nserial = 4711002\nproduct = K7USB-B\n"
        "[signals]\n162250000 = -60\n");
    const int base = FreeBasePort();
    ASSERT_NE(base, 0);

    Program program(dirs.home.path(), dirs.runtime.path(), sim);
    ASSERT_TRUE(program.StartShown({QString("-rigctl=%1").arg(base)}))
        << program.Output().toStdString();
    ASSERT_TRUE(program.WaitForOutput("slot 1 listens on", kStartTimeout))
        << program.Output().toStdString();

    const RigctlRun tune = Rigctl(rigctl, base, {"F", "162250000", "f"});
    EXPECT_EQ(tune.exitCode, 0) << tune.errors;
    EXPECT_EQ(tune.output, "162250000\n");

    // Receiver 2 is not selected: it is tuned and read on its own.
    const RigctlRun second = Rigctl(rigctl, base + 2, {"F", "162250000", "f", "l", "STRENGTH"});
    EXPECT_EQ(second.exitCode, 0) << second.errors;
    const QStringList lines = QString::fromStdString(second.output).split('\n');
    ASSERT_GE(lines.size(), 2) << second.output;
    EXPECT_EQ(lines[0], "162250000");
    // -60 dBm is 12 dB above S9; the simulated sonobuoy fades by less than 2 dB.
    EXPECT_NEAR(lines[1].toInt(), 12, 2) << second.output;

    const RigctlRun attenuate = Rigctl(rigctl, base, {"L", "ATT", "18", "l", "ATT"});
    EXPECT_EQ(attenuate.exitCode, 0) << attenuate.errors;
    EXPECT_EQ(attenuate.output, "18\n");

    ASSERT_TRUE(program.EndInOrder()) << program.Output().toStdString();
    const QString ini = ReadText(dirs.IniPath());
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "Atten"), "1");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "Frequency"), "162250000");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 1", "Frequency"), "162250000");
    EXPECT_EQ(SectionValue(ini, "MAIN", "RemoteControlPort"), "0")
        << "the option turns it on for one run only";
}
