#pragma once
// Messages of the application shell: to the splash window and from the main window's own dialogs.
#include "core/TmyTypes.h"

constexpr UINT WM_SPLASH_TEXT = WM_USER + 250;  // wParam: std::string* (taken over), lParam: length
constexpr UINT WM_SPLASH_PROGRESS = WM_USER + 251;       // wParam: percent 0-100
constexpr UINT WM_MAIN_CLOSE_ABOUT = WM_USER + 400;      // from the About window's OK button
constexpr UINT WM_MAIN_SWITCH_TO_DEMO = WM_USER + 620;   // wParam the receiver
constexpr UINT WM_MAIN_TAKE_BACK_RADIO = WM_USER + 621;  // wParam the receiver
