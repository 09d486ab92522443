// Entry point: one instance per user, options, the main window, the message loop.
#include <QApplication>
#include <QMessageBox>
#include <clocale>
#include <memory>

#include "app/CMainWindows.h"
#include "app/CnxCmdLineParser.h"
#include "app/CnxShutdownSignals.h"
#include "core/TmyApplication.h"
#include "settings/CnxAppOptions.h"
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

int RunProgram(QApplication& qtApp, const std::string& commandLine) {
    CnxCmdLineParser parser(commandLine.c_str(), false);
    ReadAppOptions(parser);

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

}  // namespace

int main(int argc, char** argv) {
    // The lock is taken before anything else, so a second start leaves at once and shows nothing.
    CnxMutex instanceLock("K740RX");
    if (instanceLock.AlreadyExisted()) {
        return 0;
    }
    QApplication qtApp(argc, argv);
    // Qt takes the C locale from the environment; numbers the program writes and reads in its
    // own formats keep a decimal point in every language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("K740RX"));
    QApplication::setApplicationVersion(QStringLiteral(K740RX_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    return RunProgram(qtApp, JoinArguments(argc, argv));
}
