#pragma once
// What a receiver posts to its target window. Every message names the receiver in wParam; lParam
// carries what the message is about.
#include "core/K740RXMessageRecords.h"
#include "core/TmyTypes.h"

// lParam: AudioBlock*. Its byte count is the block's own.
constexpr UINT WM_RCV_AUDIO_BLOCK = WM_USER + 306;
// To the receiver's hidden window. wParam: a buffer from new char[] that the receiver frees,
// lParam: its byte count of 16-bit mono samples.
constexpr UINT WM_RCV_AUDIO_CHUNK = WM_USER + 307;
// lParam: 1 connected, 0 not.
constexpr UINT WM_RCV_CONNECTION = WM_USER + 324;
// lParam: the run (ScanSample::run) whose single pass has ended.
constexpr UINT WM_RCV_SCAN_END = WM_USER + 325;
// A receiver standing in for a lost radio: lParam 1 the radio is plugged in again, 0 it went
// again before it was taken back.
constexpr UINT WM_RCV_RADIO_BACK = WM_USER + 326;
// lParam: the ScanSample itself (ScanSample::Pack).
constexpr UINT WM_RCV_SCAN_LEVEL = WM_USER + 1400;
