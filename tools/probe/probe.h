// Drives a running lumetta.exe from outside, as another process would.
#pragma once

#include <windows.h>

#include <optional>

#include "base/owner_win.h"

namespace lumetta::probe {

// The card window, polling until it is shown or the time runs out.
[[nodiscard]] HWND WaitForCard(DWORD timeoutMs);
[[nodiscard]] std::optional<RECT> CardRect(HWND card);
// The process that owns the window, opened for waiting and reading its exit code.
[[nodiscard]] UniqueHandle OpenOwner(HWND window);
bool PostClose(HWND card);
bool PostReveal(HWND card);
// Whether the screen shows something painted over the window's client area (its pixels are not
// all alike): scripts that screenshot a window wait for its first frame.
[[nodiscard]] bool ShowsAFrame(HWND window);
// The exit code once the process has ended, or nothing on time-out.
[[nodiscard]] std::optional<DWORD> WaitForExit(HANDLE process, DWORD timeoutMs);

}  // namespace lumetta::probe
