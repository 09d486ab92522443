#pragma once
// Window-message vocabulary shared by every subsystem. Handles are opaque numbers that are never
// reused, so a message to a target that is gone is simply dropped.
#include <cstdint>

using HWND = std::uintptr_t;  // 0: no window
using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;

constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_USER = 1024;

struct TmyMessage {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
