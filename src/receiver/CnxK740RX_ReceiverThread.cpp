#include "receiver/CnxK740RX_ReceiverThread.h"

#include <chrono>
#include <thread>

#include "core/TmyComponent.h"
#include "receiver/CnxK740RXReceiver.h"
#include "receiver/K740RXReceiverLog.h"

namespace {
constexpr auto kIdlePause = std::chrono::milliseconds(5);
constexpr auto kDemoPace = std::chrono::milliseconds(40);
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
    return CnxThread::Stop();
}

void CnxK740RX_ReceiverThread::Run() {
    CnxK740RXReceiver* receiver = receiver_;
    if (receiver == nullptr) {
        return;
    }
    // A demo receiver beside listed radios measures once and ends.
    const int listedRadios = receiver->GetRadioCount(CnxK740RXReceiver::kKindAll);
    const K7Handle handle = receiver->GetHandle();
    bool previous = true;
    bool connected = true;
    for (;;) {
        receiver = receiver_;
        if (!IsRunning() || IsStopRequested() || receiver == nullptr) {
            break;
        }
        const bool demo = receiver->IsDemo();
        if (!receiver->IsScanning()) {
            std::this_thread::sleep_for(kIdlePause);
            continue;
        }
        if (!demo) {
            connected = receiver->IsConnected();
            if (connected != previous) {
                PostMessage(targetWindow_, WM_RCV_CONNECTION, reinterpret_cast<WPARAM>(receiver),
                            connected ? 1 : 0);
            }
            previous = connected;
        }
        if (connected) {
            receiver->MeasureScanStep();
        } else {
            std::this_thread::sleep_for(kIdlePause);
        }
        if (demo) {
            if (listedRadios > 0) {
                break;
            }
            std::this_thread::sleep_for(kDemoPace);
        }
    }
    qCDebug(lcReceiver, "Processing thread for receiver %d ENDED.", static_cast<int>(handle));
}
