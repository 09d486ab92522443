#pragma once
// What the remote control asks of the main window about one receiver slot. The controller
// implements it; the servers call it on the window thread, where they run.
//
// Readings are answered at once from here. Changes travel the window's own way: the servers post
// the main window's external messages to GetMessageWindow() (frequency set for any slot; the
// attenuator and RF amplifier messages, which act on the selected receiver; the scan step of any
// slot), and
// answer the client only once the window has handled them. Only what those messages cannot say
// comes here as a call.
#include <cstdint>

#include "core/TmyTypes.h"

struct SnxRemoteFrequencyRange {
    int32_t lowest;   // Hz
    int32_t highest;  // Hz: the standard or the extended model's top
};

class InxRemoteTarget {
public:
    virtual ~InxRemoteTarget() = default;

    // The main window, which takes the external messages; it lives on the servers' thread.
    virtual HWND GetMessageWindow() = 0;
    virtual int GetSelectedSlot() = 0;
    // Whether a receiver sits in the slot and can be asked for readings.
    virtual bool HasReceiver(int slot) = 0;
    // Whether the radio of a slot that has a receiver answers: false from the moment it is
    // unplugged or removed until it is back (a demo receiver standing in for it answers).
    virtual bool IsRadioConnected(int slot) = 0;

    virtual SnxRemoteFrequencyRange GetFrequencyRange(int slot) = 0;
    // The frequency the slot is tuned to, as the window shows it; after a frequency set message
    // for the slot has been handled, the frequency that message left.
    virtual int32_t GetFrequency(int slot) = 0;
    // The slot's signal level in dBm with that slot's own calibration offset added (the selected
    // slot's current offset, any other slot its stored one); NaN when it cannot be read.
    virtual double GetLevelDbm(int slot) = 0;
    // The slot's raw strength, 0..255.
    virtual int GetRawLevel(int slot) = 0;
    virtual bool GetSlotAttenuator(int slot) = 0;
    virtual bool GetRFAmplifier(int slot) = 0;
    // The FM pass band in Hz.
    virtual int32_t GetPassband(int slot) = 0;
    // The step of the slot's scan, as its scanner shows it (what the scan step message sets).
    virtual int32_t GetScanStep(int slot) = 0;

    // The attenuator of a slot that is not selected, which the window's attenuator message cannot
    // reach: stored in that slot's settings and given to its receiver.
    virtual void SetSlotAttenuator(int slot, bool on) = 0;
};
