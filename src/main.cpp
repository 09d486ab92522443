// Entry point: one instance per user, options, the main window, the message loop.
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QLoggingCategory>
#include <QMessageBox>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/CMainWindows.h"
#include "app/CnxCmdLineParser.h"
#include "app/CnxShutdownSignals.h"
#include "app/K740RXUsage.h"
#include "core/TmyApplication.h"
#include "settings/CnxAppOptions.h"
#include "settings/CnxK740RXFileIniApp.h"
#include "sync/CnxMutex.h"
#include "ui/TmyColorScheme.h"

namespace {

// The command line as one text after the program name, the way the option parser expects it.
std::string JoinArguments(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (!text.empty()) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

// --help and --version print and end; a status 1 says the text could not be written.
int PrintInformation(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        std::perror("k740rx: cannot write to the standard output");
        return 1;
    }
    return 0;
}

int RunProgram(QApplication& qtApp, const std::string& commandLine) {
    CnxCmdLineParser parser(commandLine.c_str(), false);
    ReadAppOptions(parser);
    // The program's debug lines are for whoever asks for them: with the log option, or through
    // QT_LOGGING_RULES, which outranks these rules.
    QLoggingCategory::setFilterRules(g_optLog.present ? QStringLiteral("k740.*.debug=true")
                                                      : QStringLiteral("k740.*.debug=false"));

    TmyApplication& app = TmyApplication::Process();
    app.SetInstance(&qtApp);
    TmyColorScheme::Default().ApplyTo(qtApp);

    CnxShutdownSignals shutdownSignals;
    std::unique_ptr<CMainWindows> mainWindow;
    try {
        mainWindow = std::make_unique<CMainWindows>(app);
        shutdownSignals.SetTarget(mainWindow->GetHandle());
    } catch (const std::exception&) {
        QMessageBox::critical(
            nullptr, QStringLiteral("App Error"),
            QStringLiteral("Error is occured in WinMain function.\nCannot start main window."));
        return 0;
    }
    if (!mainWindow->IsInitOk()) {
        mainWindow.reset();
        app.Quit();
        return 0;
    }
    mainWindow->Build();
    mainWindow->ApplySavedPlacement();

    app.Run();
    mainWindow.reset();
    return 0;
}

// Without any lock the program could run twice on one settings file: it says why and stops.
int ReportLockFailure(int argc, char** argv, const std::string& lockFile, const char* reason) {
    const QString text =
        QStringLiteral("K740RX cannot start: its lock file\n%1\ncannot be used (%2).")
            .arg(QString::fromStdString(lockFile), QString::fromLocal8Bit(reason));
    std::fprintf(stderr, "%s\n", qPrintable(text));
    QApplication qtApp(argc, argv);
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QMessageBox::critical(nullptr, QStringLiteral("App Error"), text);
    }
    return 1;
}

// Where the lock goes when the settings folder cannot hold it: the user's runtime folder, else a
// folder of the user's own under /tmp, refused when someone else could have made or could enter it.
std::string RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && runtime[0] != '\0') {
        return runtime;
    }
    const std::string folder = "/tmp/k740rx-" + std::to_string(::getuid());
    ::mkdir(folder.c_str(), 0700);
    struct stat status {};
    const bool own = ::lstat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
                     status.st_uid == ::getuid() && (status.st_mode & 077) == 0;
    return own ? folder : std::string();
}

// One lock per settings folder there too, so that it still keeps two instances off one settings
// file: its name carries a digest (FNV-1a) of the folder's path.
std::string LockNameFor(const std::string& settingsFolder) {
    std::uint64_t digest = 14695981039346656037ull;
    for (const unsigned char c : settingsFolder) {
        digest = (digest ^ c) * 1099511628211ull;
    }
    char name[32];
    std::snprintf(name, sizeof name, "K740RX-%016llx", static_cast<unsigned long long>(digest));
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before the lock is taken: asking for help never starts the program or waits on it.
    switch (FindInfoRequest(argc, argv)) {
        case K740RXInfoRequest::kHelp:
            return PrintInformation(UsageText());
        case K740RXInfoRequest::kVersion:
            return PrintInformation(VersionText(K740RX_VERSION));
        case K740RXInfoRequest::kNone:
            break;
    }
    // The lock is taken before the program does anything else, so a second start leaves at once
    // and shows nothing. It lies beside the settings file, which two instances must not share.
    const std::string folder = CnxK740RXFileIniApp::SettingsFolder();
    std::unique_ptr<CnxMutex> instanceLock;
    try {
        // A folder that cannot be made shows as a lock file that cannot be opened.
        std::error_code ignored;
        std::filesystem::create_directories(folder, ignored);
        instanceLock = std::make_unique<CnxMutex>("K740RX", folder);
    } catch (const CnxMutexException& e) {
        // A receiver program comes up whenever the receivers can: the lock moves to the runtime
        // folder, and the window tells the operator when the settings cannot be saved.
        const std::string runtime = RuntimeFolder();
        std::fprintf(stderr, "K740RX: its lock file %s cannot be used (%s); locking in %s\n",
                     CnxMutex::LockFilePath("K740RX", folder).c_str(), e.what(),
                     runtime.empty() ? "no runtime folder" : runtime.c_str());
        if (runtime.empty()) {
            return ReportLockFailure(argc, argv, CnxMutex::LockFilePath("K740RX", folder),
                                     e.what());
        }
        try {
            instanceLock = std::make_unique<CnxMutex>(LockNameFor(folder), runtime);
        } catch (const CnxMutexException& fallback) {
            return ReportLockFailure(
                argc, argv, CnxMutex::LockFilePath(LockNameFor(folder), runtime), fallback.what());
        }
    }
    if (instanceLock->AlreadyExisted()) {
        return 0;
    }
    QApplication qtApp(argc, argv);
    // Qt takes the C locale from the environment; numbers the program writes and reads in its
    // own formats keep a decimal point in every language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("K740RX"));
    QApplication::setApplicationVersion(QStringLiteral(K740RX_VERSION));
    // Lets the desktop match the window with the program's desktop entry.
    QGuiApplication::setDesktopFileName(QStringLiteral(K740RX_APP_ID));
    QApplication::setQuitOnLastWindowClosed(false);
    return RunProgram(qtApp, JoinArguments(argc, argv));
}
