#pragma once
// The main window's interface for other programs: messages they post to it to change the selected
// receiver's switches, tune any receiver or set the scan step. Kept at the bottom of the program
// so that every subsystem (the remote control among them) can post them.
#include "core/TmyTypes.h"

constexpr UINT WM_MAIN_SET_ATTENUATOR = WM_USER + 304;    // wParam on/off
constexpr UINT WM_MAIN_SET_RF_AMPLIFIER = WM_USER + 318;  // wParam ignored: always on
constexpr UINT WM_MAIN_FREQUENCY_SET = WM_USER + 322;     // wParam receiver index, lParam Hz
// wParam Hz; lParam 0 for the selected receiver, n for the receiver of slot n - 1.
constexpr UINT WM_MAIN_SET_SCAN_STEP = WM_USER + 851;
