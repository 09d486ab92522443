#pragma once
// The message from the calibration dialog to the main window.
#include "core/TmyTypes.h"

constexpr UINT WM_CAL_CLOSE = WM_USER + 500;  // wParam the dialog, which has hidden itself
