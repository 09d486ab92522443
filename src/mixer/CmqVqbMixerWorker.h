#pragma once
// The mixer unit's serial worker: waits for the unit's characters, cuts them into reports and
// posts each report to the mixer's hidden window, where all decisions are taken in the order the
// unit sent them. It touches nothing of the mixer's state. Noise is logged and dropped here.
#include "core/TmyTypes.h"
#include "mixer/CmqMixerReportParser.h"
#include "sync/CnxThread.h"

class CmqSerialPort;
class CmqVqbMixerCom;

class CmqVqbMixerWorker : public CnxThread {
public:
    static constexpr int kWaitSliceMs = 1000;

    // Reads through the mixer (its Read logs the traffic) from its port, posts to `window`.
    CmqVqbMixerWorker(CmqVqbMixerCom& mixer, CmqSerialPort& port, HWND window);
    ~CmqVqbMixerWorker() override;

    // Asks the worker to end and wakes it from its wait; Stop then waits for it.
    void RequestEnd();

protected:
    void Run() override;

private:
    void Dispatch(const SmqMixerReport& report);

    CmqVqbMixerCom& mixer_;
    CmqSerialPort& port_;
    HWND window_;
    CmqMixerReportParser parser_;
};
