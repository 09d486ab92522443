#pragma once
// Shared by the program tests: the built program started as a user would start it, in folders of
// its own, and its settings file read as plain text.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

inline QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "k740rx-e2e";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() ?: new QCoreApplication(argc, argv);
    return *app;
}

inline constexpr int kStartTimeout = 60000;
inline const QString kShownLine = "main window shown";

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
    // Changes the environment the program is started with; no value removes the variable.
    void SetEnvironment(const QString& name, const QString& value = QString()) {
        QProcessEnvironment env = process_.processEnvironment();
        value.isNull() ? env.remove(name) : env.insert(name, value);
        process_.setProcessEnvironment(env);
    }
    ~Program() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    // The program of the build tree unless another one (an installed one) is named.
    void Start(const QStringList& options, const QString& program = QString()) {
        process_.start(program.isEmpty() ? App().applicationDirPath() + "/k740rx" : program,
                       options);
        ASSERT_TRUE(process_.waitForStarted(10000));
    }
    // Starts it without the splash (more options first, then the program to run, if not the
    // built one); true once its main window is shown.
    bool StartShown(const QStringList& options = {}, const QString& program = QString()) {
        Start(options + QStringList{"-nsplash", "-itime=500"}, program);
        return WaitForOutput(kShownLine, kStartTimeout);
    }
    // Asks it to end as the desktop does; true when it ended in order with status 0.
    bool EndInOrder() {
        Terminate();
        return WaitForExit(30000) && ExitStatus() == QProcess::NormalExit && ExitCode() == 0;
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
    void Terminate() { Signal(SIGTERM); }
    void Signal(int number) { ::kill(pid_t(process_.processId()), number); }
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
inline QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

inline QString SectionValue(const QString& text, const QString& section, const QString& key) {
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

// A virtual X display of its own (Xvfb), for the program to show its window on or to lose.
class XServer {
public:
    explicit XServer(const QString& screen = QStringLiteral("1024x768x24")) {
        process_.start(QStringLiteral("Xvfb"),
                       {"-displayfd", "1", "-screen", "0", screen, "-nolisten", "tcp"});
        QElapsedTimer waited;
        waited.start();
        while (!output_.contains('\n') && waited.elapsed() < 20000 &&
               process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(100);
            output_ += process_.readAllStandardOutput();
        }
    }
    ~XServer() { Stop(); }
    QString Display() const {
        return output_.contains('\n') ? ":" + QString::fromLatin1(output_).trimmed() : QString();
    }
    void Stop() {
        process_.kill();
        process_.waitForFinished(5000);
    }

private:
    QProcess process_;
    QByteArray output_;
};

struct Folders {
    QTemporaryDir home;
    QTemporaryDir runtime;
    QString IniPath() const { return home.path() + "/Documents/Quorvant/K740RX/K740RX.ini"; }
    // The simulated driver's radio file, written anew (plug and unplug are rewrites); its path.
    QString WriteRadios(const QByteArray& text) const {
        return Write(home.path() + "/radios.ini", text);
    }
    // Settings as an operator's earlier runs left them.
    void WriteSettings(const QByteArray& text) const {
        QDir().mkpath(QFileInfo(IniPath()).path());
        Write(IniPath(), text);
    }

private:
    static QString Write(const QString& path, const QByteArray& text) {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
        file.write(text);
        return path;
    }
};
