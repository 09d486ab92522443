#include "settings/CnxK740RXFileIniApp.h"

#include <gtest/gtest.h>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <vector>

#include "TemporaryHome.h"

namespace fs = std::filesystem;
using namespace std::string_literals;

namespace {

// A receiver's values in the order of its section in the file, to compare all in one line.
std::string Values(const SnxK740RXReceiverSettings& r) {
    std::string text = r.productName + "," + r.serialNumber;
    for (int32_t value :
         {r.power, r.atten, r.preamp, r.frequency, r.ledStatus, r.mute, r.volume, r.volumeMin,
          r.volumeMax, r.loop, r.stepChannel, r.showHideLabels, r.sMeterCal}) {
        text += "," + std::to_string(value);
    }
    return text;
}

std::string Defaults(const std::string& name) {
    return name + "," + name + ",1,0,1,136000000,95,1,16,0,31,1,1,8,0";
}

using Radios = std::array<CnxK740RXFileIniApp::SnxSlotRadio, CnxK740RXFileIniApp::kReceiverCount>;

Radios Slots(std::initializer_list<CnxK740RXFileIniApp::SnxSlotRadio> first) {
    Radios radios;
    std::copy(first.begin(), first.end(), radios.begin());
    return radios;
}

void ExpectAllDefaults(CnxK740RXFileIniApp& settings) {
    for (int index = 0; index < CnxK740RXFileIniApp::kReceiverCount; ++index) {
        EXPECT_EQ(Values(settings.Receiver(index)), Defaults("DEMO")) << index;
    }
    EXPECT_EQ(settings.Placement().length, 0);
    EXPECT_EQ(settings.GetSelectedReceiver(), 0);
}

}  // namespace

TEST(CnxK740RXFileIniApp, FirstRunWritesEverySectionWithDefaults) {
    const TemporaryHome home;
    {
        CnxK740RXFileIniApp settings;
        EXPECT_EQ(settings.GetBandFilePath(), home.SettingsDir() + "/Data/Channels.csv");
    }

    const std::string text = home.ReadSettings();
    const std::string main = text.substr(0, text.find("[RECEIVER 0]"));
    EXPECT_EQ(main,
              "[MAIN]\nWP_Length=0\nWP_Flags=0\nWP_ShowCmd=0\nWP_MinPosition_X=0\n"
              "WP_MinPosition_Y=0\nWP_MaxPosition_X=0\nWP_MaxPosition_Y=0\n"
              "WP_NormalPosition_Left=0\nWP_NormalPosition_Top=0\nWP_NormalPosition_Right=0\n"
              "WP_NormalPosition_Bottom=0\nRcvSelected=0\nRemoteControlPort=0\nSplitGraph=0\n"
              "SplitHistory=0\nSplitScans=0\nSplitSpectrum=0\nOverview=0\n\n");
    for (int index = 0; index < 8; ++index) {
        const std::string section =
            "[RECEIVER " + std::to_string(index) +
            "]\nProductName=DEMO\nSerialNumber=DEMO\nPower=1\nAtten=0\nPreamp=1\n"
            "Frequency=136000000\nLedStatus=95\nMute=1\nVolume=16\nVolumeMin=0\nVolumeMax=31\n"
            "Loop=1\nStepChannel=1\nShowHideLabels=8\nSMeterCal=0\n"
            "ActivityThreshold=-95\nRecordHits=0\nScanLower=136000000\n"
            "ScanUpper=173500000\nScanStep=375000\nLockout=\nPriority=0\nPriorityEvery=8\n\n";
        EXPECT_EQ(text.find(section), main.size() + index * section.size()) << text;
    }
}

TEST(CnxK740RXFileIniApp, MissingAndBrokenValuesTakeTheirDefaults) {
    const TemporaryHome home;
    home.WriteSettings(
        "[MAIN]\nWP_Length=44\nWP_NormalPosition_Right=800\nSMeterCal=-25\nRcvSelected=5\n"
        "RemoteControlPort=4600\n"
        "[RECEIVER 0]\nProductName=K7USB\nFrequency=150000000\nSMeterCal=12\n"
        "[RECEIVER 3]\nSerialNumber=A123\nPower=0\nFrequency=abc\nLedStatus=\n");
    CnxK740RXFileIniApp settings;

    EXPECT_EQ(settings.Placement().length, 44);
    EXPECT_EQ(settings.Placement().right, 800);
    EXPECT_EQ(settings.Placement().flags, 0);
    EXPECT_EQ(settings.GetSelectedReceiver(), 0);
    EXPECT_EQ(settings.GetRemoteControlPort(), 4600);

    // The frequency: 0 for the non-number, then the lowest frequency.
    EXPECT_EQ(Values(settings.Receiver(3)), ",A123,0,0,1,136000000,0,1,16,0,31,1,1,8,-25");
    EXPECT_EQ(Values(settings.Receiver(7)), ",,1,0,1,136000000,95,1,16,0,31,1,1,8,-25");
    EXPECT_EQ(Values(settings.Current()), "K7USB,,1,0,1,150000000,95,1,16,0,31,1,1,8,12");
}

TEST(CnxK740RXFileIniApp, WithoutHardwareOnlyMainIsRewritten) {
    const TemporaryHome home;
    const std::string receivers =
        "[RECEIVER 0]\n  power = 0 \nFrequency=140000000\n\n[RECEIVER 1]\nVolume=3\n";
    home.WriteSettings("[MAIN]\nWP_Length=1\n\n" + receivers);
    {
        CnxK740RXFileIniApp settings;
        settings.Placement().length = 2;
        settings.Placement().top = 30;
        settings.Current().frequency = 150000000;
        settings.SelectReceiver(1);
    }
    const std::string text = home.ReadSettings();
    EXPECT_TRUE(text.starts_with("[MAIN]\nWP_Length=2\n")) << text;
    EXPECT_NE(text.find("WP_NormalPosition_Top=30\n"), std::string::npos);
    EXPECT_NE(text.find("RcvSelected=1\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("Overview=0\n\n" + receivers + "\n")) << text;

    {
        CnxK740RXFileIniApp settings;
        settings.SetNoHardware(0);
        settings.Current().frequency = 150000000;
        settings.Receiver(1).volume = 9;
    }
    CnxFileIni disk("K740RX");
    disk.SetFolder(home.SettingsDir());
    EXPECT_EQ(disk.ReadInt("RECEIVER 0", "Power", -1), 0);
    EXPECT_EQ(disk.ReadInt("RECEIVER 0", "Frequency", -1), 150000000);
    EXPECT_EQ(disk.ReadInt("RECEIVER 1", "Volume", -1), 9);
    EXPECT_EQ(disk.ReadInt("RECEIVER 7", "Volume", -1), 16);
    EXPECT_EQ(disk.ReadString("RECEIVER 7", "ProductName"), "");
}

TEST(CnxK740RXFileIniApp, TheCurrentValuesAreThoseOfTheSelectedSlot) {
    const TemporaryHome home;
    CnxK740RXFileIniApp settings;

    settings.SelectReceiver(2);
    settings.Current().frequency = 162250000;
    settings.Current().productName = "K7PCI";
    settings.SelectReceiver(0);
    EXPECT_EQ(settings.Current().frequency, 136000000);
    EXPECT_EQ(settings.Receiver(2).frequency, 162250000);
    settings.SelectReceiver(2);
    EXPECT_EQ(settings.Current().productName, "K7PCI");
    settings.Receiver(2).volume = 4;
    EXPECT_EQ(settings.Current().volume, 4);

    settings.SelectReceiver(8);
    EXPECT_EQ(settings.GetSelectedReceiver(), 0);

    EXPECT_EQ(&settings.Receiver(99), &settings.Receiver(7));
    EXPECT_EQ(&settings.Receiver(-3), &settings.Receiver(0));
}

TEST(CnxK740RXFileIniApp, ForeignContentSurvivesASave) {
    const TemporaryHome home;
    home.WriteSettings(
        "; written by hand\n"
        "[Extra]\nColour=red\n"
        "[main]\nwp_length=7\nUnknownKey=kept\n"
        "[receiver 1]\nvolume=3\n;note\nVOLUME=30\n"
        "[RECEIVER 1]\nVolume=31\n");
    {
        CnxK740RXFileIniApp settings;
        EXPECT_EQ(settings.Placement().length, 7);
        EXPECT_EQ(settings.Receiver(1).volume, 3);
        settings.SetNoHardware(0);
        settings.Receiver(1).volume = 5;
        EXPECT_TRUE(settings.Save());
    }
    const std::string text = home.ReadSettings();
    EXPECT_EQ(text.find("; written by hand\n[Extra]\nColour=red\n[main]\nWP_Length=7\n"), 0u)
        << text;
    EXPECT_NE(text.find("UnknownKey=kept\n"), std::string::npos);
    EXPECT_NE(text.find("[receiver 1]\nVolume=5\n;note\nVOLUME=30\n"), std::string::npos);
    EXPECT_NE(text.find("[RECEIVER 1]\nVolume=31\n\n[RECEIVER 0]\n"), std::string::npos) << text;
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(home.SettingsDir()), {}),
              std::vector<fs::path>{home.SettingsFile()})
        << "no temporary file is left behind";
}

TEST(CnxK740RXFileIniApp, DamagedFilesLoadWithDefaults) {
    const std::pair<std::string, size_t> damaged[] = {
        {"", 0},
        {"[MAIN", 0},
        {"[RECEIVER 0]\nVolume", 0},
        {"\0\0\0\xff\xfe[RECEIVER 0]\0Volume=2\n"s, 0},
        {std::string(100000, '['), 0},
        {"[RECEIVER 0]\nProductName=" + std::string(5000, 'p'), 259},
    };
    for (const auto& [text, productNameLength] : damaged) {
        SCOPED_TRACE(text.substr(0, 40));
        const TemporaryHome home;
        home.WriteSettings(text);
        CnxK740RXFileIniApp settings;
        EXPECT_EQ(Values(settings.Receiver(5)), Defaults(""));
        EXPECT_EQ(settings.Current().volume, 16);
        EXPECT_EQ(settings.Current().productName.size(), productNameLength);
    }

    const TemporaryHome home;
    home.WriteSettings("[RECEIVER 0]\nVolume=2");
    CnxK740RXFileIniApp settings;
    EXPECT_EQ(settings.Current().volume, 2) << "a last line without line feed still counts";
}

TEST(CnxK740RXFileIniApp, FolderThatCannotBeCreatedLeavesTheDefaults) {
    const TemporaryHome home;
    fs::create_directories(home.Path() + "/Documents");
    TemporaryHome::WriteText(home.Path() + "/Documents/Quorvant", "a file, not a folder");
    {
        CnxK740RXFileIniApp settings;
        ExpectAllDefaults(settings);
        EXPECT_NE(settings.GetLastError(), "No error.");
        settings.SetNoHardware(0);
        settings.Current().volume = 2;
        EXPECT_FALSE(settings.Save());
    }
    EXPECT_EQ(TemporaryHome::ReadText(home.Path() + "/Documents/Quorvant"), "a file, not a folder");
}

// Runs `body` as a user whom access rights bind. As root (CI runs as root, and no right binds it)
// that is a child process that has given up the super-user's rights for those of "nobody";
// otherwise it is this process. False when the body failed or could not run.
bool RunUnprivileged(const std::function<void()>& body) {
    if (::geteuid() != 0) {
        body();
        return !testing::Test::HasFailure();
    }
    const passwd* nobody = ::getpwnam("nobody");
    const uid_t uid = nobody != nullptr ? nobody->pw_uid : 65534;
    const gid_t gid = nobody != nullptr ? nobody->pw_gid : 65534;
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0 ||
            ::geteuid() == 0) {
            ::_exit(2);
        }
        body();
        std::fflush(nullptr);
        ::_exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = -1;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

// The folders down to `path` opened for everyone to read and pass, as a user's home would be.
void OpenToEveryone(const fs::path& home, const fs::path& path) {
    for (fs::path folder = path; folder.string().size() >= home.string().size();
         folder = folder.parent_path()) {
        fs::permissions(folder,
                        fs::perms::others_read | fs::perms::others_exec | fs::perms::group_read |
                            fs::perms::group_exec,
                        fs::perm_options::add);
    }
}

TEST(CnxK740RXFileIniApp, ReadOnlyFolderLeavesFileAndDefaultsAlone) {
    const TemporaryHome home;
    home.WriteSettings("[RECEIVER 0]\nVolume=2\n");
    OpenToEveryone(home.Path(), home.SettingsDir());
    fs::permissions(home.SettingsFile(), fs::perms::all, fs::perm_options::add);
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::owner_exec |
                               fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(home.SettingsDir(), readOnly);
    EXPECT_TRUE(RunUnprivileged([] {
        CnxK740RXFileIniApp settings;
        EXPECT_EQ(settings.Current().volume, 2);
        settings.SetNoHardware(0);
        settings.Current().volume = 7;
        EXPECT_FALSE(settings.Save());
    }));
    fs::permissions(home.SettingsDir(), fs::perms::owner_all);
    EXPECT_EQ(home.ReadSettings(), "[RECEIVER 0]\nVolume=2\n");
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(home.SettingsDir()), {}),
              std::vector<fs::path>{home.SettingsFile()})
        << "no temporary file is left behind";
}

TEST(CnxK740RXFileIniApp, EverythingWrittenReadsBackTheSame) {
    const TemporaryHome home;
    {
        CnxK740RXFileIniApp settings;
        settings.SetNoHardware(0);
        settings.Placement() = SnxWindowPlacement{44, 2, 3, -1, -2, -3, -4, 10, 20, 810, 600};
        settings.SetRemoteControlPort(4540);
        settings.Layout() = SnxWindowLayout{300, 120, 460, 140, 1};
        for (int index = 0; index < 8; ++index) {
            settings.SelectReceiver(index);
            SnxK740RXReceiverSettings& receiver = settings.Current();
            receiver.productName = "K7USB" + std::to_string(index);
            receiver.serialNumber = std::string(300, static_cast<char>('a' + index));
            receiver.frequency = 136000000 + index * 375000;
            receiver.sMeterCal = -index;
            receiver.volume = index;
        }
        settings.SelectReceiver(4);
        settings.Current().atten = 1;
    }
    CnxK740RXFileIniApp settings;
    EXPECT_EQ(settings.Placement().maxY, -4);
    EXPECT_EQ(settings.Placement().bottom, 600);
    EXPECT_EQ(settings.GetRemoteControlPort(), 4540);
    EXPECT_EQ(settings.Layout(), (SnxWindowLayout{300, 120, 460, 140, 1}));
    for (int index = 0; index < 8; ++index) {
        SCOPED_TRACE(index);
        const std::string n = std::to_string(index);
        EXPECT_EQ(Values(settings.Receiver(index)),
                  "K7USB" + n + "," + std::string(259, static_cast<char>('a' + index)) + ",1," +
                      (index == 4 ? "1" : "0") + ",1," +
                      std::to_string(136000000 + index * 375000) + ",95,1," + n + ",0,31,1,1,8," +
                      std::to_string(-index));
    }
    EXPECT_EQ(settings.GetSelectedReceiver(), 0);
}

// Radios change slots between runs; each keeps its own values, and one that is away keeps them
// under its serial number until it is back.
TEST(CnxK740RXFileIniApp, EachRadioKeepsItsValuesWhateverSlotItGetsAndWhileItIsAway) {
    const TemporaryHome home;
    home.WriteSettings(
        "[MAIN]\nSMeterCal=-7\n"
        "[RECEIVER 0]\nSerialNumber=A\nProductName=K7USB-A\nFrequency=142750000\nVolume=3\n"
        "Mute=0\nAtten=1\nLoop=0\nStepChannel=0\nShowHideLabels=0\nSMeterCal=12\n"
        "[RECEIVER 1]\nSerialNumber=B\nProductName=K7PCI-B\nFrequency=162250000\nVolume=20\n"
        "[RECEIVER 2]\nSerialNumber=DEMO\nProductName=DEMO\nFrequency=150000000\n");
    const Radios onlyB = Slots({{"B", "K7PCI-B"}});
    {
        CnxK740RXFileIniApp settings;
        settings.AssignSlots(onlyB);
        settings.SetNoHardware(0);
        // B had no correction of its own; A's values left with A.
        EXPECT_EQ(Values(settings.Receiver(0)), "K7PCI-B,B,1,0,1,162250000,95,1,20,0,31,1,1,8,-7");
        EXPECT_EQ(Values(settings.Receiver(1)), "DEMO,DEMO,1,0,1,136000000,95,1,16,0,31,1,1,8,-7");
        EXPECT_EQ(settings.Receiver(2).frequency, 150000000) << "a demo slot stays as it was";
        const SnxK740RXReceiverSettings* a = settings.AbsentRadio("A");
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->frequency, 142750000);
        EXPECT_EQ(settings.AbsentRadio("B"), nullptr);
    }

    // A comes back beside B, in another slot than before, with every value of its own.
    {
        CnxK740RXFileIniApp settings;
        settings.AssignSlots(Slots({{"B", "K7PCI-B"}, {"A", "K7USB-A"}}));
        settings.SetNoHardware(0);
        EXPECT_EQ(Values(settings.Receiver(1)), "K7USB-A,A,1,1,1,142750000,95,0,3,0,31,0,0,0,12");
        EXPECT_EQ(settings.AbsentRadio("A"), nullptr);
    }
    EXPECT_EQ(home.ReadSettings().find("[RADIO A]"), std::string::npos);

    // Without hardware nothing moves and nothing kept is lost.
    {
        CnxK740RXFileIniApp settings;
        settings.AssignSlots(onlyB);
        ASSERT_NE(settings.AbsentRadio("A"), nullptr);
    }
    EXPECT_EQ(CnxK740RXFileIniApp().Receiver(1).frequency, 142750000);
}

// What a radio's scan covers goes with the radio, like its other values; a plan damaged by hand
// comes back as what a scan can walk.
TEST(CnxK740RXFileIniApp, EachRadioKeepsWhatItsScanCovers) {
    const TemporaryHome home;
    SnxScanPlan plan;
    plan.lower = 142750000;
    plan.upper = 154000000;
    plan.step = 12500;
    plan.lockout = {60, 61};
    plan.priority = 55;
    plan.priorityEvery = 4;
    SnxScanPlan every;
    for (int32_t channel = 1; channel <= 99; ++channel) {
        every.lockout.push_back(channel);
    }
    {
        CnxK740RXFileIniApp settings;
        settings.AssignSlots(Slots({{"A", "K7USB-A"}}));
        settings.SetNoHardware(0);
        settings.Receiver(0).scan = plan;
        settings.Receiver(3).scan = every;
    }
    const std::string text = home.ReadSettings();
    EXPECT_NE(text.find("ScanLower=142750000\nScanUpper=154000000\nScanStep=12500\n"
                        "Lockout=60,61\nPriority=55\nPriorityEvery=4\n"),
              std::string::npos)
        << text;

    // Away, its plan is kept under its serial number; back in another slot, it has it again.
    {
        CnxK740RXFileIniApp settings;
        EXPECT_EQ(settings.Receiver(3).scan, every) << "a list longer than other strings";
        settings.AssignSlots(Slots({{"B", "K7PCI-B"}}));
        settings.SetNoHardware(0);
        EXPECT_EQ(settings.Receiver(0).scan, SnxScanPlan());
    }
    {
        CnxK740RXFileIniApp settings;
        settings.AssignSlots(Slots({{"B", "K7PCI-B"}, {"A", "K7USB-A"}}));
        EXPECT_EQ(settings.Receiver(1).scan, plan);
    }

    home.WriteSettings(
        "[RECEIVER 0]\nScanLower=500\nScanUpper=140000000\nScanStep=-5\n"
        "Lockout=60, x,200,61-62\nPriority=150\nPriorityEvery=0\n"
        "[RECEIVER 1]\nScanLower=150000000\nScanUpper=140000000\nScanStep=1\n");
    CnxK740RXFileIniApp settings;
    SnxScanPlan repaired;
    repaired.upper = 140000000;
    repaired.lockout = {60, 61, 62};
    repaired.priorityEvery = 1;
    EXPECT_EQ(settings.Receiver(0).scan, repaired);
    // The edges in order; a 1 Hz step over 10 MHz is more than a graph holds.
    repaired = SnxScanPlan();
    repaired.lower = 140000000;
    repaired.upper = 150000000;
    EXPECT_EQ(settings.Receiver(1).scan, repaired);
}

TEST(CnxK740RXFileIniApp, TextInMemoryLoadsAndSavesLikeTheFile) {
    const TemporaryHome home;
    std::string file =
        "; comment\n[MAIN]\nWP_Length=44\n[RECEIVER 2]\nSerialNumber=4711\nVolume=9\n";
    {
        CnxK740RXFileIniApp settings(file);
        EXPECT_EQ(settings.Receiver(2).volume, 9);
        settings.SetNoHardware(0);
        settings.Receiver(3).volume = 5;
    }
    EXPECT_FALSE(fs::exists(home.SettingsDir()));  // nothing went to disk
    EXPECT_TRUE(file.starts_with("; comment\n[MAIN]\nWP_Length=44\n")) << file;
    CnxK740RXFileIniApp again(file);
    EXPECT_EQ(again.Receiver(2).serialNumber, "4711");
    EXPECT_EQ(again.Receiver(3).volume, 5);
}

TEST(CnxK740RXFileIniApp, NumbersFromTheFileStayWithinWhatTheProgramCanUse) {
    const TemporaryHome home;
    home.WriteSettings(
        "[MAIN]\nSMeterCal=-99999\nRemoteControlPort=70000\nSplitGraph=-5\nSplitHistory=99999\n"
        "SplitScans=x\nSplitSpectrum=250\nOverview=7\n"
        "[RECEIVER 0]\nSMeterCal=2147483647\nFrequency=5\nVolume=-3\nVolumeMax=1000\n"
        "Power=7\nAtten=-1\nPreamp=2\nMute=9\nLoop=3\nStepChannel=4\nLedStatus=300\n"
        "ShowHideLabels=99\n"
        "[RECEIVER 1]\nFrequency=999999999\nSMeterCal=-250\nVolume=20\nVolumeMin=-8\n");
    CnxK740RXFileIniApp settings;

    EXPECT_EQ(settings.GetRemoteControlPort(), 65535);
    EXPECT_EQ(settings.Layout(), (SnxWindowLayout{0, 32767, 0, 250, 1}));
    EXPECT_EQ(Values(settings.Receiver(0)), ",,1,0,1,136000000,255,1,0,0,31,1,1,8,500");
    // The correction is in range: as written.
    EXPECT_EQ(Values(settings.Receiver(1)), ",,1,0,1,225000000,95,1,20,0,31,1,1,8,-250");
    // A section without its own correction takes MAIN's, kept within range as well.
    EXPECT_EQ(settings.Receiver(2).sMeterCal, -500);
}

TEST(CnxK740RXFileIniApp, AFileFromAnotherEditorKeepsItsMarkAndLineEnds) {
    const TemporaryHome home;
    home.WriteSettings(
        "\xEF\xBB\xBF[MAIN]\r\nWP_Length=44\r\nWP_NormalPosition_Right=900\r\n\r\n"
        "[RECEIVER 0]\r\nVolume=7\r\n");
    {
        CnxK740RXFileIniApp settings;
        EXPECT_EQ(settings.Placement().right, 900);
        settings.SetNoHardware(0);
    }
    const std::string text = home.ReadSettings();
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF[MAIN]\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("[MAIN]", 4), std::string::npos) << "a second MAIN section";
    EXPECT_NE(text.find("[RECEIVER 7]\r\n"), std::string::npos);
    // Every line feed follows a carriage return.
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ASSERT_EQ(text[at - 1], '\r') << "bare line feed at " << at << " in\n" << text;
    }
}

// The activity log's values of a radio: its threshold kept on the graph's scale, and both going
// wherever the radio goes.
TEST(CnxK740RXFileIniApp, ActivityValuesBelongToTheRadioAndStayOnTheScale) {
    const TemporaryHome home;
    home.WriteSettings(
        "[RECEIVER 0]\nSerialNumber=A\nProductName=K7USB-A\nActivityThreshold=-80\nRecordHits=1\n"
        "[RECEIVER 1]\nSerialNumber=B\nProductName=K7USB-B\nActivityThreshold=-300\n"
        "RecordHits=7\n"
        "[RECEIVER 2]\nActivityThreshold=-10\n");
    Radios radios = Slots({{"B", "K7USB-B"}});
    radios[3] = {"A", "K7USB-A"};
    CnxK740RXFileIniApp settings;
    EXPECT_EQ(settings.Receiver(0).activityThreshold, -80);
    EXPECT_EQ(settings.Receiver(1).activityThreshold, -120);
    EXPECT_EQ(settings.Receiver(1).recordHits, 1);
    EXPECT_EQ(settings.Receiver(2).activityThreshold, -40);
    settings.AssignSlots(radios);
    EXPECT_EQ(settings.Receiver(3).activityThreshold, -80);
    EXPECT_EQ(settings.Receiver(3).recordHits, 1);
    EXPECT_EQ(settings.Receiver(0).activityThreshold, -120);
}
