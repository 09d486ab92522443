#pragma once
// The one way in for what drives the receivers from outside the window: the knob box on its
// serial port and the remote control's network servers. Both reach the controllers through here,
// with the window's own rules, so what they change shows in the window at once and the settings
// keep it.
#include <memory>

#include "core/TmyTypes.h"
#include "mixer/InmqKnobBoxActions.h"
#include "remote/InxRemoteTarget.h"

class CmqKnobBoxMapping;
class CmqVqbMixerCom;
class CnxCtrlTuningPanel;
class CnxK740RXFileIniApp;
class CnxK740RX_ReceiverManager;
class CnxListeningController;
class CnxRemoteControl;
class CnxScanController;
class CnxTuningController;
class InxOperatorNotices;

class CnxRemoteAdapter : private InmqKnobBoxActions, private InxRemoteTarget {
public:
    struct Controllers {
        CnxTuningController& tuning;
        CnxScanController& scans;
        CnxListeningController& listening;
    };

    // All borrowed. The remote control posts the window's external messages to `messageWindow`.
    CnxRemoteAdapter(CnxK740RXFileIniApp& settings, CnxK740RX_ReceiverManager& receivers,
                     const Controllers& controllers, CnxCtrlTuningPanel& panel,
                     InxOperatorNotices& notices, HWND messageWindow);
    ~CnxRemoteAdapter() override;

    // Looks for the knob box; without one nothing changes.
    void StartKnobBox();
    // The window's knob step changed: the unit's indicator follows.
    void ShowChannelSteps(bool channelSteps);

    // The remote control as the command line and the settings ask for it at start, and as the
    // Remote switch turns it on and off.
    void StartRemoteControl();
    void SetRemoteControl(bool on);

private:
    void ShowRemoteControl();
    // Once per attempt to switch it on: which ports could not be opened and why.
    void ReportRemoteControlFailures();

    // The knob box.
    bool IsReceiverPresent() const override;
    void TuneBy(int32_t deltaHz) override;
    void ChangeVolume(int steps) override;
    void MoveGraphView(int steps) override;
    void SelectChannelSteps(bool channelSteps) override;

    // The remote control.
    HWND GetMessageWindow() override { return messageWindow_; }
    int GetSelectedSlot() override;
    bool HasReceiver(int slot) override;
    bool IsRadioConnected(int slot) override;
    SnxRemoteFrequencyRange GetFrequencyRange(int slot) override;
    int32_t GetFrequency(int slot) override;
    double GetLevelDbm(int slot) override;
    int GetRawLevel(int slot) override;
    bool GetSlotAttenuator(int slot) override;
    bool GetRFAmplifier(int slot) override;
    int32_t GetPassband(int slot) override;
    int32_t GetScanStep(int slot) override;
    void SetSlotAttenuator(int slot, bool on) override;

    CnxK740RXFileIniApp& settings_;
    CnxK740RX_ReceiverManager& receivers_;
    Controllers controllers_;
    CnxCtrlTuningPanel& panel_;
    InxOperatorNotices& notices_;
    HWND messageWindow_;
    std::unique_ptr<CmqVqbMixerCom> mixer_;
    std::unique_ptr<CmqKnobBoxMapping> knobBox_;
    std::unique_ptr<CnxRemoteControl> remote_;
};
