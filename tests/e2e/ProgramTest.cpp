// The program as a user starts it: single instance, settings written at exit, simulated radios.
#include <gtest/gtest.h>

#include "ProgramProcess.h"

namespace {

TEST(Program, RunsAloneUntilTerminatedAndWritesItsSettings) {
    App();
    Folders dirs;
    QFile::setPermissions(dirs.runtime.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Program first(dirs.home.path(), dirs.runtime.path());
    ASSERT_TRUE(first.StartShown()) << first.Output().toStdString();
    // The running program saves its placement within seconds; after that, with nothing changed,
    // only another writer could change the file.
    QElapsedTimer waited;
    waited.start();
    while (SectionValue(ReadText(dirs.IniPath()), "MAIN", "WP_Length") != "44" &&
           waited.elapsed() < 30000) {
        first.WaitForExit(100);
    }
    const QString before = ReadText(dirs.IniPath());
    ASSERT_EQ(SectionValue(before, "MAIN", "WP_Length"), "44") << before.toStdString();

    // A second start leaves at once, silently, and changes nothing, even with a runtime folder
    // of its own: two starts of one user share the settings file.
    QTemporaryDir otherRuntime;
    Program second(dirs.home.path(), otherRuntime.path());
    second.Start({"-nsplash"});
    ASSERT_TRUE(second.WaitForExit(20000)) << second.Output().toStdString();
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_FALSE(second.Output().contains(kShownLine));
    EXPECT_EQ(ReadText(dirs.IniPath()), before);

    ASSERT_TRUE(first.EndInOrder()) << first.Output().toStdString();

    const QString ini = ReadText(dirs.IniPath());
    for (int i = 0; i < 8; ++i) {
        const QString section = QString("RECEIVER %1").arg(i);
        EXPECT_EQ(SectionValue(ini, section, "SerialNumber"), "DEMO") << section.toStdString();
    }
}

// The section of the settings that remembers the radio with this serial number.
QString SectionOfSerial(const QString& text, const QString& serial) {
    for (int i = 0; i < 8; ++i) {
        const QString section = QString("RECEIVER %1").arg(i);
        if (SectionValue(text, section, "SerialNumber") == serial) {
            return section;
        }
    }
    return QString();
}

TEST(Program, EachRadioKeepsItsOwnValuesWhenRadiosComeAndGo) {
    App();
    Folders dirs;
    QString sim;
    const auto attach = [&](bool a, bool b) {
        sim = dirs.WriteRadios(
            QString("[radio0]\nserial = 4711001\nproduct = K7USB-A\nconnected = %1\n"
                    "[radio1]\nserial = 4711002\nproduct = K7PCI-B\nconnected = %2\n")
                .arg(a ? 1 : 0)
                .arg(b ? 1 : 0)
                .toUtf8());
    };
    const auto run = [&] {
        Program program(dirs.home.path(), dirs.runtime.path(), sim);
        ASSERT_TRUE(program.StartShown()) << program.Output().toStdString();
        EXPECT_TRUE(program.EndInOrder()) << program.Output().toStdString();
    };
    dirs.WriteSettings(
        "[MAIN]\nWP_Length=0\n"
        "[RECEIVER 0]\nSerialNumber=4711001\nProductName=K7USB-A\nFrequency=142750000\n"
        "Volume=5\n"
        "[RECEIVER 1]\nSerialNumber=4711002\nProductName=K7PCI-B\nFrequency=162250000\n"
        "Volume=21\n");

    // Only B: it moves to the first slot with its own frequency and volume; A's are kept.
    attach(false, true);
    run();
    QString ini = ReadText(dirs.IniPath());
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "SerialNumber").toStdString(), "4711002")
        << ini.toStdString();
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "ProductName").toStdString(), "K7PCI-B");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "Frequency").toStdString(), "162250000");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "Volume").toStdString(), "21");

    // Both again: each is tuned as it was, in whatever slot it got.
    attach(true, true);
    run();
    ini = ReadText(dirs.IniPath());
    const QString a = SectionOfSerial(ini, "4711001");
    const QString b = SectionOfSerial(ini, "4711002");
    ASSERT_FALSE(a.isEmpty()) << ini.toStdString();
    ASSERT_FALSE(b.isEmpty());
    EXPECT_EQ(SectionValue(ini, a, "Frequency").toStdString(), "142750000") << ini.toStdString();
    EXPECT_EQ(SectionValue(ini, a, "Volume").toStdString(), "5");
    EXPECT_EQ(SectionValue(ini, b, "Frequency").toStdString(), "162250000");
    EXPECT_EQ(SectionValue(ini, b, "Volume").toStdString(), "21");
}

}  // namespace
