#pragma once
// Messages of the audio subsystem. The two device notifications keep the numbers the platform's
// wave functions use; the player's block message is one of the program's own.
#include "core/TmyTypes.h"

// Device -> callback window. wParam: the device handle, lParam: the WAVEHDR* that is done.
constexpr UINT MM_WOM_DONE = 0x3BD;
constexpr UINT MM_WIM_DATA = 0x3C0;

// Player -> owner window. wParam: int16_t* mono samples in the source's format, lParam: bytes.
constexpr UINT WM_AUDIO_BLOCK = WM_USER + 700;
// Audio path -> itself: every receiver block posted before it belongs to an earlier selection.
constexpr UINT WM_AUDIO_SELECTION_FENCE = WM_USER + 701;
// Player -> itself: every block posted before it by a source that has closed since was handled.
constexpr UINT WM_AUDIO_RETIRE_FENCE = WM_USER + 702;
