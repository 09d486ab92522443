#pragma once
// What the mixer unit's serial worker posts to the mixer's own hidden window.
#include "core/TmyTypes.h"

// A button report. wParam: button bits x 65536 + mode value, lParam: 0.
constexpr UINT WM_MIXER_BUTTONS = WM_USER;
// A position report. wParam: 0, lParam: the knob position, sign-extended.
constexpr UINT WM_MIXER_POSITION = WM_USER + 1;
// The port is gone (the unit unplugged or its line hung up). wParam, lParam: 0.
constexpr UINT WM_MIXER_LOST = WM_USER + 2;
