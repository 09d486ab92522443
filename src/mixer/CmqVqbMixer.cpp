#include "mixer/CmqVqbMixer.h"

#include <algorithm>
#include <cstdio>

#include "mixer/K740RXMixerLog.h"

namespace {

constexpr int kDefaultMode = 4;

}  // namespace

void CmqVqbMixer::SetRotateConstant(int constant, int second) {
    qCDebug(lcMixer, "Setting rotate constant to %d", constant);
    // A divisor below 1 would stop the knob or divide by zero.
    rotateConstant_ = std::max(1, constant);
    if (second != -1) {
        secondRotateConstant_ = std::max(1, second);
    }
}

void CmqVqbMixer::SetButtonMode(int mode) {
    if (mode == buttonMode_) {
        return;
    }
    if (mode == 0) {
        mode = kDefaultMode;
    }
    qCDebug(lcMixer, "Setting mode to %d", mode);
    buttonMode_ = mode;
    SetMode(mode, true);
}

void CmqVqbMixer::SetBacklight(int level) {
    level = std::clamp(level, kBacklightMinimum, kBacklightMaximum);
    if (level == backlight_) {
        return;
    }
    qCDebug(lcMixer, "Setting Backlight to %d", level);
    if (SendCommand(level, '*')) {
        backlight_ = level;
    }
}

void CmqVqbMixer::SetMode(int mode, bool force) {
    if (mode == modeIndicator_ && !force) {
        return;
    }
    if (SendCommand(mode, '!')) {
        modeIndicator_ = mode;
    }
}

bool CmqVqbMixer::SendCommand(int value, char sign) {
    char text[16];
    std::snprintf(text, sizeof(text), "%02X%c", static_cast<unsigned>(value), sign);
    return Write(text) > 0;
}

void CmqVqbMixer::BeginSession() {
    SetRotateConstant(2, 6);
    reference_ = kNoReference;
    SetMode(buttonMode_, true);
    backlight_ = -1;  // whatever the unit shows now, it is to show 100
    SetBacklight(100);
    Write(")");
    switchValue_ = 0;
    directRotation_ = true;
    Write("$");
    Write("01%");
}

void CmqVqbMixer::HandleReport(const SmqMixerReport& report) {
    switch (report.kind) {
        case SmqMixerReport::Kind::Buttons:
            HandleButtons(report.buttons, report.mode);
            break;
        case SmqMixerReport::Kind::Position:
            HandlePosition(static_cast<uint16_t>(report.position));
            break;
        case SmqMixerReport::Kind::Noise:
            break;
    }
}

void CmqVqbMixer::HandleButtons(int buttons, int mode) {
    // The backlight mode is the unit's own: entering and leaving it only moves the indicator.
    if (mode == kBacklightMode) {
        SetButtonMode(kBacklightMode);
    } else if (buttonMode_ == kBacklightMode && mode < kBacklightMode) {
        SetButtonMode(mode);
    } else {
        // The current reference as position: a button report does not move the knob.
        ApplyReport(static_cast<uint32_t>(buttons) << 16 | static_cast<uint32_t>(mode),
                    static_cast<int16_t>(reference_));
    }
}

void CmqVqbMixer::HandlePosition(uint16_t position) {
    // The first position after opening is where the knob stands, not a turn.
    if (reference_ == kNoReference) {
        reference_ = position;
        return;
    }
    ApplyReport(static_cast<uint32_t>(switchValue_), static_cast<int16_t>(position));
}

void CmqVqbMixer::ApplyReport(uint32_t first, int32_t second) {
    const int buttons = static_cast<int>(first >> 16);
    OnRaw.Raise(this, SmqMixerRaw{static_cast<uint16_t>(second & 0xFFFF), buttons,
                                  static_cast<int>(first & 0xFFFF)});
    ApplyRotation(static_cast<uint16_t>(second));
    if (buttons != 0) {
        const int mode = (buttons & 1) ? 1 : (buttons & 2) ? 2 : (buttons & 4) ? 4 : buttonMode_;
        if (mode != buttonMode_) {
            buttonMode_ = mode;
            OnButtonMode.Raise(this, mode);
        }
    }
    const int switchValue = static_cast<int>(first & 0xFF);
    if (switchValue != switchValue_) {
        switchValue_ = switchValue;
        OnSwitch.Raise(this, switchValue);
    }
}

void CmqVqbMixer::ApplyRotation(uint16_t position) {
    const uint16_t reference = reference_;
    reference_ = position;
    if (directRotation_) {
        Rotate(static_cast<int16_t>(position - reference));
        return;
    }
    // Whole multiples of the divisor count, so a knob resting between two of them does not
    // jitter; the 16-bit difference lets the counter wrap.
    const int divisor = buttonMode_ == 4 ? secondRotateConstant_ : rotateConstant_;
    const auto from = static_cast<uint16_t>(reference - reference % divisor);
    const auto to = static_cast<uint16_t>(position - position % divisor);
    const int steps = static_cast<int16_t>(to - from) / divisor;
    qCDebug(lcMixer, "Rotating %d [%d] -> %d [%d] = %d", reference, from,
            static_cast<int16_t>(position), to, steps);
    if (steps != 0) {
        Rotate(steps);
    }
}

void CmqVqbMixer::Rotate(int steps) {
    if (buttonMode_ == kBacklightMode) {
        SetBacklight(backlight_ + steps);
        return;
    }
    OnRotate.Raise(this, steps);
}
