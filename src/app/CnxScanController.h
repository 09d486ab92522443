#pragma once
// The scans of every receiver slot, and the only owner of their state: stopped, scanning or
// paused, the run each slot's samples must belong to, where its sweep is, and what each scan
// covers (range, step, locked-out channels, priority channel; kept in the radio's settings). The
// scan buttons and the bar graph show what it holds; the receiver sweeps on its processing thread
// the walk built here, and every sample it posts names its run, sweep and point, so the graph
// places it there and a late sample of an ended run is dropped.
#include <array>
#include <cstdint>
#include <optional>

#include "app/InxScanStates.h"
#include "core/K740RXMessageRecords.h"
#include "core/TmyEvents.h"
#include "core/TmyTypes.h"
#include "settings/K740RXSlots.h"

class CnxK740RXCalibratorSMeter;
class CnxK740RXFileIniApp;
class CnxK740RXReceiver;
class CnxK740RX_ReceiverManager;
class CnxScanStepper;
class InxScanView;
struct SnxScanPlan;

class CnxScanController : public InxScanStates {
public:
    // All borrowed; the calibrator may be null.
    CnxScanController(CnxK740RXFileIniApp& settings, CnxK740RX_ReceiverManager& receivers,
                      CnxK740RXCalibratorSMeter* calibrator);

    // The view of a slot's scan; it shows the slot's loop setting and plan at once.
    void SetView(int slot, InxScanView* view);

    State GetScanState(int slot) const override;
    std::optional<int64_t> GetSweepPosition(int slot) const override;

    // The operator's command for the selected slot (scan, pause or stop, as the buttons number
    // them); a command for another slot is ignored.
    void Command(int slot, int32_t mode);
    // Space: stops an active scan of the selected slot, starts it otherwise.
    void Toggle();
    void Stop(int slot);
    void SetLoop(int slot, bool loop);
    // Moves the slot's graph by whole points.
    void ScrollBy(int slot, int points);

    // What a slot's scan covers. A change is kept and shown at once; a running scan goes on over
    // the new points at once, a paused one when it goes on. SetPlan takes what can be walked of
    // the plan; the step alone is refused (false) when it is not positive or so fine that a pass
    // would have more points than a graph holds.
    const SnxScanPlan& GetPlan(int slot) const;
    void SetPlan(int slot, const SnxScanPlan& plan);
    bool SetScanStep(int slot, int32_t step);
    int32_t GetScanStep(int slot) const;
    void SetLockedOut(int slot, int channel, bool lockedOut);
    void UnlockAll(int slot);
    // The points a slot's next run walks.
    CnxScanStepper Walk(int slot) const;
    // The slot's Channel switch changed: its range is shown in channels or in frequencies.
    void ShowPlan(int slot);

    // The receivers' messages. A sample is taken (true) when it belongs to its slot's run.
    bool OnScanLevel(CnxK740RXReceiver* receiver, const ScanSample& sample);
    void OnScanEnd(CnxK740RXReceiver* receiver, uint16_t run);
    // A receiver's scan message (level or end), as it came: the sample it brought, when the slot's
    // run took it.
    std::optional<ScanSample> OnScanMessage(const TmyMessage& m);

    // A slot's scan started, paused, resumed or stopped.
    TmyEventList<int> OnStateChanged;

private:
    struct Slot {
        State state = State::kStopped;
        uint16_t run = 0;
        int lastPoint = -1;        // of the run's latest sample
        bool planChanged = false;  // since the held run began: it goes on as a new run
        InxScanView* view = nullptr;
    };

    void Start(int slot);
    void BeginRun(int slot, CnxK740RXReceiver& receiver);
    void Pause(int slot);
    void Show(int slot);
    void PlanChanged(int slot);
    int SlotOf(const CnxK740RXReceiver* receiver) const;
    bool IsSlot(int slot) const { return slot >= 0 && slot < kK740RXSlotCount; }
    void Changed(int slot);

    CnxK740RXFileIniApp& settings_;
    CnxK740RX_ReceiverManager& receivers_;
    CnxK740RXCalibratorSMeter* calibrator_;
    std::array<Slot, kK740RXSlotCount> slots_{};
};
