#pragma once
// The processing thread of a started receiver: while the receiver scans it measures step after
// step at the target window's pace, watches a real radio's connection and reports changes to the
// window, and paces a demo receiver. While the receiver does not scan, the thread sleeps until
// woken.
#include <condition_variable>
#include <mutex>

#include "core/TmyTypes.h"
#include "sync/CnxAtomic.h"
#include "sync/CnxThread.h"

class CnxK740RXReceiver;

class CnxK740RX_ReceiverThread : public CnxThread {
public:
    // Not started: the receiver calls Start.
    CnxK740RX_ReceiverThread(CnxK740RXReceiver* receiver, HWND targetWindow);
    // Asks the thread to end and waits for it, retrying for about 21 seconds in all.
    ~CnxK740RX_ReceiverThread() override;

    // Sets the stop request, wakes the thread, then waits up to 1000 ms for it to end.
    bool Stop() override;
    // The receiver started scanning (or anything else the idle thread should look at).
    void Wake();

    void SetReceiver(CnxK740RXReceiver* receiver) {
        receiver_ = receiver;
        Wake();
    }
    CnxK740RXReceiver* GetReceiver() const { return receiver_; }

protected:
    void Run() override;

private:
    void WaitForWork(CnxK740RXReceiver& receiver);
    // Holds the next step while the window has many of the receiver's samples unhandled, so a
    // fast scan goes at the window's pace instead of piling samples up; a window that stays away
    // longer than a moment does not stop the scan.
    void WaitForWindow(CnxK740RXReceiver& receiver);

    CnxAtomic<CnxK740RXReceiver*> receiver_;
    HWND targetWindow_;
    std::mutex wakeMutex_;
    std::condition_variable wakeUp_;
    bool wakeRequested_ = false;
};
