// The program as a user starts it: single instance, settings written at exit, simulated radios.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>

namespace {

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "k740rx-e2e";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ?: new QCoreApplication(argc, argv);
    return *app;
}

class Program {
public:
    Program(const QString& home, const QString& runtime, const QString& simFile = QString()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.insert("XDG_RUNTIME_DIR", runtime);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("K740RX_AUDIO", "virtual");
        env.insert("K740RX_MIXER_PORTS", "");
        env.insert("QT_LOGGING_RULES", "k740.*.debug=true");
        env.remove("QVK740RX_SIM");
        if (!simFile.isEmpty()) {
            env.insert("QVK740RX_SIM", simFile);
        }
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::MergedChannels);
    }
    ~Program() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    void Start(const QStringList& options) {
        process_.start(App().applicationDirPath() + "/k740rx", options);
        ASSERT_TRUE(process_.waitForStarted(10000));
    }
    // Waits for a line of the program's log; everything it printed is kept for the report.
    bool WaitForOutput(const QString& text, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (!output_.contains(text) && timer.elapsed() < timeoutMs) {
            process_.waitForReadyRead(100);
            output_ += QString::fromLocal8Bit(process_.readAll());
            if (process_.state() == QProcess::NotRunning) {
                output_ += QString::fromLocal8Bit(process_.readAll());
                break;
            }
        }
        return output_.contains(text);
    }
    void Terminate() { ::kill(pid_t(process_.processId()), SIGTERM); }
    bool WaitForExit(int timeoutMs) {
        const bool done = process_.waitForFinished(timeoutMs);
        output_ += QString::fromLocal8Bit(process_.readAll());
        return done;
    }
    int ExitCode() const { return process_.exitCode(); }
    QProcess::ExitStatus ExitStatus() const { return process_.exitStatus(); }
    const QString& Output() const { return output_; }

private:
    QProcess process_;
    QString output_;
};

// The settings file as plain text sections, read without our own INI code.
QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString SectionValue(const QString& text, const QString& section, const QString& key) {
    bool inSection = false;
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith('[')) {
            inSection = line.compare("[" + section + "]", Qt::CaseInsensitive) == 0;
        } else if (inSection &&
                   line.section('=', 0, 0).trimmed().compare(key, Qt::CaseInsensitive) == 0) {
            return line.section('=', 1).trimmed();
        }
    }
    return QString();
}

struct Folders {
    QTemporaryDir home;
    QTemporaryDir runtime;
    QString IniPath() const { return home.path() + "/Documents/Quorvant/K740RX/K740RX.ini"; }
};

constexpr int kStartTimeout = 60000;
const QString kShownLine = "main window shown";

TEST(Program, RunsAloneUntilTerminatedAndWritesItsSettings) {
    App();
    Folders dirs;
    QFile::setPermissions(dirs.runtime.path(),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Program first(dirs.home.path(), dirs.runtime.path());
    first.Start({"-nsplash", "-itime=500"});
    ASSERT_TRUE(first.WaitForOutput(kShownLine, kStartTimeout)) << first.Output().toStdString();
    const QString before = ReadText(dirs.IniPath());
    ASSERT_FALSE(before.isEmpty());

    // A second start leaves at once, silently, and changes nothing.
    Program second(dirs.home.path(), dirs.runtime.path());
    second.Start({"-nsplash"});
    ASSERT_TRUE(second.WaitForExit(5000));
    EXPECT_EQ(second.ExitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.ExitCode(), 0);
    EXPECT_FALSE(second.Output().contains(kShownLine));
    EXPECT_EQ(ReadText(dirs.IniPath()), before);

    first.Terminate();
    ASSERT_TRUE(first.WaitForExit(30000)) << first.Output().toStdString();
    EXPECT_EQ(first.ExitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.ExitCode(), 0);

    const QString ini = ReadText(dirs.IniPath());
    EXPECT_FALSE(SectionValue(ini, "MAIN", "WP_Length").isEmpty());
    EXPECT_NE(SectionValue(ini, "MAIN", "WP_Length"), "0");  // the placement was saved
    for (int i = 0; i < 8; ++i) {
        const QString section = QString("RECEIVER %1").arg(i);
        EXPECT_EQ(SectionValue(ini, section, "SerialNumber"), "DEMO") << section.toStdString();
        EXPECT_EQ(SectionValue(ini, section, "Frequency"), "136000000");
        EXPECT_EQ(SectionValue(ini, section, "Volume"), "16");
    }
}

TEST(Program, OpensSimulatedRadiosAndRemembersTheirSlots) {
    App();
    Folders dirs;
    const QString sim = dirs.home.path() + "/radios.ini";
    QFile file(sim);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[radio0]\nserial = 4711001\nproduct = K7USB-A\nconnected = 1\n"
        "[radio1]\nserial = 4711002\nproduct = K7PCI-B\nextended = 1\nconnected = 1\n"
        "[signals]\n142750000 = -62\n");
    file.close();
    // The settings remember the second radio in slot 3: it keeps its match, the new radio takes
    // the first free slot, and packing puts both at the front in slot order.
    QDir().mkpath(dirs.home.path() + "/Documents/Quorvant/K740RX");
    QFile settings(dirs.IniPath());
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(
        "[MAIN]\nWP_Length=0\n[RECEIVER 3]\nSerialNumber=4711002\nProductName=K7PCI-B\n");
    settings.close();

    Program program(dirs.home.path(), dirs.runtime.path(), sim);
    program.Start({"-nsplash", "-itime=500"});
    ASSERT_TRUE(program.WaitForOutput(kShownLine, kStartTimeout)) << program.Output().toStdString();
    program.Terminate();
    ASSERT_TRUE(program.WaitForExit(30000)) << program.Output().toStdString();
    EXPECT_EQ(program.ExitCode(), 0);

    const QString ini = ReadText(dirs.IniPath());
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "SerialNumber"), "4711001");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "ProductName"), "K7USB-A");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 1", "SerialNumber"), "4711002");
    EXPECT_EQ(SectionValue(ini, "RECEIVER 1", "ProductName"), "K7PCI-B");
    for (int i = 2; i < 8; ++i) {
        EXPECT_EQ(SectionValue(ini, QString("RECEIVER %1").arg(i), "SerialNumber"), "DEMO");
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
    const QString sim = dirs.home.path() + "/radios.ini";
    const auto attach = [&](bool a, bool b) {
        QFile file(sim);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QString("[radio0]\nserial = 4711001\nproduct = K7USB-A\nconnected = %1\n"
                           "[radio1]\nserial = 4711002\nproduct = K7PCI-B\nconnected = %2\n")
                       .arg(a ? 1 : 0)
                       .arg(b ? 1 : 0)
                       .toUtf8());
    };
    const auto run = [&] {
        Program program(dirs.home.path(), dirs.runtime.path(), sim);
        program.Start({"-nsplash", "-itime=500"});
        ASSERT_TRUE(program.WaitForOutput(kShownLine, kStartTimeout))
            << program.Output().toStdString();
        program.Terminate();
        ASSERT_TRUE(program.WaitForExit(30000)) << program.Output().toStdString();
        EXPECT_EQ(program.ExitCode(), 0);
    };
    QDir().mkpath(dirs.home.path() + "/Documents/Quorvant/K740RX");
    QFile settings(dirs.IniPath());
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(
        "[MAIN]\nWP_Length=0\n"
        "[RECEIVER 0]\nSerialNumber=4711001\nProductName=K7USB-A\nFrequency=142750000\n"
        "Volume=5\n"
        "[RECEIVER 1]\nSerialNumber=4711002\nProductName=K7PCI-B\nFrequency=162250000\n"
        "Volume=21\n");
    settings.close();

    // Only B: it moves to the first slot with its own frequency and volume; A's are kept.
    attach(false, true);
    run();
    QString ini = ReadText(dirs.IniPath());
    EXPECT_EQ(SectionValue(ini, "RECEIVER 0", "SerialNumber").toStdString(), "4711002")
        << ini.toStdString();
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
