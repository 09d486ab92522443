#pragma once
// Tuning of every receiver slot: where each is tuned (the settings keep it, nothing else does),
// the limits of its radio, channel mode and the knob's step, the attenuator and RF amplifier.
// Frequencies come from the entry, the knob, the keys, the knob box and the remote control;
// every one goes through FrequencySet, which clamps it, moves it onto the channel raster in
// channel mode and tunes the receiver unless its scan holds it.
#include <cstdint>

#include "app/InxSlotFrequencies.h"
#include "core/TmyEvents.h"

class CnxK740RXCalibratorSMeter;
class CnxK740RXFileIniApp;
class CnxK740RXReceiver;
class CnxK740RX_ReceiverManager;
class InxScanStates;
class InxTuningView;

class CnxTuningController : public InxSlotFrequencies {
public:
    // The knob's step outside channel mode.
    static constexpr int32_t kFineStep = 10000;

    // All borrowed; the calibrator may be null.
    CnxTuningController(CnxK740RXFileIniApp& settings, CnxK740RX_ReceiverManager& receivers,
                        CnxK740RXCalibratorSMeter* calibrator, const InxScanStates& scans,
                        InxTuningView& view);

    // The selected slot changed: its limits, switches and frequency are applied again.
    void SelectSlot(int slot);

    void FrequencySet(int slot, int32_t frequency, bool force = false);
    // The selected slot, from where it is tuned.
    void TuneBy(int32_t delta);
    int32_t GetFrequency(int slot) const override;
    int32_t GetUpperLimit(int slot) const;

    // The entry's three ways of asking: a typed value, a spin step and a step on the raster.
    void OnEntryFrequency(int32_t frequency);
    void OnEntrySpin(int32_t frequency);
    void OnEntryRaster(int32_t frequency);

    void SetChannelMode(bool on, bool force = false);
    bool IsChannelMode() const;
    void SetStep(int32_t step, bool force = false);
    int32_t GetStep() const { return knobStep_; }
    // The attenuator of the selected slot, or of any slot.
    void SetAttenuator(bool on, bool force = false);
    void SetSlotAttenuator(int slot, bool on, bool force = false);
    // Always on for these receivers: every request turns it on.
    void SetRFAmplifier(bool request, bool force = false);

    // A scan started, paused or stopped: a held or ended scan gives the radio back its own
    // frequency; a running one shows where its sweep is.
    void ScanStateChanged(int slot);
    void ShowSweepPosition();

    // A slot's frequency changed.
    TmyEventList<int> OnSlotFrequencyChanged;
    // The selected receiver was tuned (not by its scan) to this frequency.
    TmyEventList<int32_t> OnSelectedTuned;
    // The knob's step changed: 1 channel steps, 0 fine steps.
    TmyEventList<int32_t> OnChannelStepsChanged;
    // The selected slot's attenuator changed.
    TmyEventList<int32_t> OnAttenuatorChanged;

private:
    int Selected() const;
    CnxK740RXReceiver* Receiver(int slot) const;
    // FrequencySet, on the channel raster or not whatever the mode.
    void Set(int slot, int32_t frequency, bool force, bool onRaster);
    void TuneSelected(int32_t frequency, bool onRaster);
    // Tunes the slot's receiver unless its scan holds it; the frequency it reports is kept.
    void Tune(int slot);
    void Show(int slot);

    CnxK740RXFileIniApp& settings_;
    CnxK740RX_ReceiverManager& receivers_;
    CnxK740RXCalibratorSMeter* calibrator_;
    const InxScanStates& scans_;
    InxTuningView& view_;
    int32_t knobStep_;
};
