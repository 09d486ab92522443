#include "receiver/CnxK740RX_ReceiverThread.h"

#include <chrono>
#include <thread>

#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/K740RXReceiverLog.h"

namespace {
// A scanning receiver whose radio is gone looks for it again this often.
constexpr auto kIdlePause = std::chrono::milliseconds(5);
constexpr auto kDemoPace = std::chrono::milliseconds(40);
// How long a step waits for a window that has fallen behind before it goes on regardless.
constexpr auto kWindowCatchUp = std::chrono::milliseconds(250);
constexpr int kStopAttempts = 21;
constexpr auto kStopRetryPause = std::chrono::milliseconds(5);
}  // namespace

CnxK740RX_ReceiverThread::CnxK740RX_ReceiverThread(CnxK740RXReceiver* receiver, HWND targetWindow)
    : CnxThread(false), receiver_(receiver), targetWindow_(targetWindow) {}

CnxK740RX_ReceiverThread::~CnxK740RX_ReceiverThread() {
    for (int attempt = 1; attempt <= kStopAttempts; ++attempt) {
        if (Stop()) {
            return;
        }
        std::this_thread::sleep_for(kStopRetryPause);
    }
    qCDebug(lcReceiver) << "Processing thread did not end in time";
}

bool CnxK740RX_ReceiverThread::Stop() {
    RequestStop();
    Wake();
    return CnxThread::Stop();
}

void CnxK740RX_ReceiverThread::Wake() {
    {
        std::lock_guard lock(wakeMutex_);
        wakeRequested_ = true;
    }
    wakeUp_.notify_one();
}

void CnxK740RX_ReceiverThread::WaitForWork(CnxK740RXReceiver& receiver) {
    std::unique_lock lock(wakeMutex_);
    wakeUp_.wait(lock, [&] {
        return wakeRequested_ || IsStopRequested() || receiver_.load() == nullptr ||
               receiver.IsScanning();
    });
    wakeRequested_ = false;
}

void CnxK740RX_ReceiverThread::WaitForWindow(CnxK740RXReceiver& receiver) {
    if (!receiver.IsWindowBehind()) {
        return;
    }
    std::unique_lock lock(wakeMutex_);
    wakeUp_.wait_for(lock, kWindowCatchUp, [&] {
        return IsStopRequested() || receiver_.load() == nullptr || !receiver.IsScanning() ||
               receiver.HasWindowCaughtUp();
    });
}

void CnxK740RX_ReceiverThread::Run() {
    CnxK740RXReceiver* receiver = receiver_;
    if (receiver == nullptr) {
        return;
    }
    const K7Handle handle = receiver->GetHandle();
    bool previous = true;
    bool connected = true;
    for (;;) {
        receiver = receiver_;
        if (!IsRunning() || IsStopRequested() || receiver == nullptr) {
            break;
        }
        // Idle, the thread sleeps until a scan starts or it is asked to end: no polling.
        if (!receiver->IsScanning()) {
            WaitForWork(*receiver);
            continue;
        }
        // A receiver that became demo after its radio was lost scans its demo signals like any
        // other demo receiver.
        const bool demo = receiver->IsDemo();
        if (!demo) {
            connected = receiver->IsConnected();
            if (connected != previous) {
                PostMessage(targetWindow_, WM_RCV_CONNECTION, reinterpret_cast<WPARAM>(receiver),
                            connected ? 1 : 0);
            }
            previous = connected;
        } else {
            connected = true;
        }
        if (connected) {
            WaitForWindow(*receiver);
            receiver->MeasureScanStep();
        } else {
            std::this_thread::sleep_for(kIdlePause);
        }
        if (demo) {
            std::this_thread::sleep_for(kDemoPace);
        }
    }
    qCDebug(lcReceiver, "Processing thread for receiver %d ENDED.", static_cast<int>(handle));
}
