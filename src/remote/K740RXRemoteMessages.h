#pragma once
// Messages of the remote control.
#include "core/TmyTypes.h"

// A server to itself, posted right behind a change it handed to the main window: the window thread
// takes posted messages in order, so when this one arrives the change has been carried out and the
// client may be answered. wParam: the client's number.
constexpr UINT WM_REMOTE_CHANGE_DONE = WM_USER + 1950;
