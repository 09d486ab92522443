#pragma once
// The mixer unit on a serial port: finds it by probing the ports, opens a session with it, runs
// the worker that reads its reports, and writes its commands. The reports reach the control model
// through this object's hidden window, so every decision and event happens on the thread that
// created it (the window thread).
#include <memory>
#include <string>

#include "core/TmyMessageWindow.h"
#include "mixer/CmqSerialPort.h"
#include "mixer/CmqVqbMixer.h"

class CmqVqbMixerWorker;

class CmqVqbMixerCom : public CmqVqbMixer {
public:
    static constexpr const char* kIdentificationPrefix = "Quorvant VQB interface";
    static constexpr int kProbePhaseMs = 300;
    static constexpr int kTransferTimeoutMs = 300;

    CmqVqbMixerCom();
    ~CmqVqbMixerCom() override;

    // Probes the ports in order and opens a session with the first unit that identifies itself;
    // 1 when one did. Blocks for two probe phases per port tried.
    int Open() override;
    // Ends the session: the closing command, the worker stopped, the port closed. Always 1.
    int Close() override;

    std::string GetIdentification() const { return identification_; }
    std::string GetPortName() const { return portName_; }
    HWND GetWindow() const { return window_.GetHandle(); }

    // What has arrived at the port, without waiting for more; empty when nothing has.
    std::string Read();
    int Write(const std::string& text) override;

private:
    bool Probe(const std::string& path);
    void OnWindowMessage(const TmyMessage& message);

    CmqSerialPort port_;
    std::unique_ptr<CmqVqbMixerWorker> worker_;
    std::string identification_;
    std::string portName_;
    TmyMessageWindow window_;
};
