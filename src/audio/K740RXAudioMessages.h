#pragma once
// Messages of the audio subsystem.
#include "core/TmyTypes.h"

constexpr UINT WM_AUDIO_BLOCK = WM_USER + 700;  // player -> main window: 16-bit samples, byte count
