// What the card listens to beyond its own messages: the foreground window (it rises while the
// desktop is in front), session locks and the display's power state. A registration that fails
// is logged and done without.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/owner_win.h"

namespace lumetta {

// A window's registration for session notifications, given back with the window.
struct SessionNotificationTraits {
  using Handle = HWND;
  static Handle Empty() { return nullptr; }
  static bool Valid(Handle hwnd) { return hwnd != nullptr; }
  static void Close(Handle hwnd);
};

// True for the windows that are the desktop itself ("WorkerW", "Progman").
[[nodiscard]] bool IsDesktopWindow(HWND window);
// The console display state (0 off, 1 on, 2 dimmed) a WM_POWERBROADCAST carries, if it is one.
[[nodiscard]] std::optional<std::uint32_t> ConsoleDisplayState(WPARAM wParam, LPARAM lParam);
// Whether a WM_POWERBROADCAST tells of the battery's charge or the power source changing.
[[nodiscard]] bool IsBatteryChange(WPARAM wParam, LPARAM lParam);

class CardNotifications {
 public:
  void Register(HWND window, WINEVENTPROC foregroundChanged);
  // The battery's charge and the power source are followed while `follow`: the battery is
  // read again when they change, never polled.
  void FollowBattery(HWND window, bool follow);
  // The session, display and battery registrations, while the window still exists.
  void ReleaseWindowRegistrations();

 private:
  UniqueWinEventHook foregroundHook_;
  UniqueOwner<SessionNotificationTraits> session_;
  UniquePowerNotify power_;
  UniquePowerNotify batteryCharge_;
  UniquePowerNotify powerSource_;
};

}  // namespace lumetta
