#pragma once
// The control model of the mixer unit: its state (modes, backlight, knob reference) and every
// decision about its reports, without a window or a port. The unit's reports arrive here on the
// window thread, in the order the unit sent them, and come out as four single-handler events;
// commands to the unit go out through Write, which the transport provides.
//
// Without a transport (this class alone) there is no unit: the receiver driver library's own knob
// device does not exist on this platform, so Open finds nothing and every command goes nowhere.
// CmqVqbMixerCom supplies the serial unit.
#include <cstdint>
#include <string>

#include "core/TmyEvents.h"
#include "mixer/CmqMixerReportParser.h"

struct SmqMixerRaw {
    uint16_t position = 0;
    int buttons = 0;
    int switchValue = 0;
};

class CmqVqbMixer {
public:
    static constexpr uint16_t kNoReference = 0x8000;
    static constexpr int kBacklightMinimum = 0;
    static constexpr int kBacklightMaximum = 127;
    static constexpr int kBacklightMode = 6;

    CmqVqbMixer() = default;
    virtual ~CmqVqbMixer() = default;
    CmqVqbMixer(const CmqVqbMixer&) = delete;
    CmqVqbMixer& operator=(const CmqVqbMixer&) = delete;

    // 1 when a unit was found and is now in use.
    virtual int Open() { return 0; }
    virtual int Close() { return 1; }
    bool IsOpen() const { return open_; }

    // Direct rotation hands the raw position differences on; otherwise they are scaled by the
    // rotate constants (the second one in button mode 4). -1 keeps the second as it is.
    void SetDirectRotation(bool on) { directRotation_ = on; }
    void SetRotateConstant(int constant, int second);
    // Changes the button mode (0 means 4) and makes the unit's indicator follow.
    void SetButtonMode(int mode);
    int GetButtonMode() const { return buttonMode_; }
    // Clamped to 0..127; kept only when the unit took the command.
    void SetBacklight(int level);
    int GetBacklight() const { return backlight_; }
    // The mode indicator; with force 0 nothing is sent when it already shows `mode`.
    void SetMode(int mode, bool force);
    int GetModeIndicator() const { return modeIndicator_; }
    int GetSwitchValue() const { return switchValue_; }

    // One report from the unit, on the window thread.
    void HandleReport(const SmqMixerReport& report);
    // Knob steps: in the backlight mode they move the backlight, otherwise they go to OnRotate.
    void Rotate(int steps);

    // Single handlers, raised on the window thread: (sender, steps), (sender, new button mode),
    // (sender, new switch value), (sender, raw report).
    TmyEventSlot<int> OnRotate;
    TmyEventSlot<int> OnButtonMode;
    TmyEventSlot<int> OnSwitch;
    TmyEventSlot<SmqMixerRaw> OnRaw;

protected:
    // Sends one command; returns the number of bytes that went out.
    virtual int Write(const std::string& /*text*/) { return 0; }
    // Puts a freshly found unit into a known state, in the order the unit expects.
    void BeginSession();
    void SetOpen(bool open) { open_ = open; }

private:
    void HandleButtons(int buttons, int mode);
    void HandlePosition(uint16_t position);
    // The unit's report handling proper: `first` carries buttons (high 16 bits) and switch value,
    // `second` the knob position.
    void ApplyReport(uint32_t first, int32_t second);
    void ApplyRotation(uint16_t position);
    bool SendCommand(int value, char sign);

    bool open_ = false;
    int rotateConstant_ = 10;
    int secondRotateConstant_ = 10;
    int modeIndicator_ = 4;
    int switchValue_ = 0;
    int buttonMode_ = 4;
    int backlight_ = -1;  // unknown until the unit has taken a level
    bool directRotation_ = false;
    uint16_t reference_ = kNoReference;
};
