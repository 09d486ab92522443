#include "app/CnxShutdownSignals.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QSocketNotifier>
#include <csignal>

#include "core/TmyComponent.h"

namespace {
// A hang-up is the terminal that started the program going away: as good as a close.
constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
int g_signalPipe[2] = {-1, -1};

extern "C" void OnShutdownSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_signalPipe[1], &byte, 1);
}
}  // namespace

CnxShutdownSignals::CnxShutdownSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0) {
        return;
    }
    notifier_ = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CnxShutdownSignals::OnSignalled);
    struct sigaction action = {};
    action.sa_handler = OnShutdownSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : kSignals) {
        ::sigaction(number, &action, nullptr);
    }
}

CnxShutdownSignals::~CnxShutdownSignals() {
    for (const int number : kSignals) {
        ::signal(number, SIG_DFL);
    }
    if (g_signalPipe[0] >= 0) {
        ::close(g_signalPipe[0]);
        ::close(g_signalPipe[1]);
        g_signalPipe[0] = g_signalPipe[1] = -1;
    }
}

void CnxShutdownSignals::OnSignalled() {
    char buffer[16];
    while (::read(g_signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    pending_ = !PostMessage(mainWindow_, WM_CLOSE, 0, 0);
}

void CnxShutdownSignals::SetTarget(HWND mainWindow) {
    mainWindow_ = mainWindow;
    if (pending_) {
        pending_ = !PostMessage(mainWindow_, WM_CLOSE, 0, 0);
    }
}
