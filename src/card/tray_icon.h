// The notification-area icon: added at start, re-added when Explorer restarts, removed at exit.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include "base/owner_win.h"

namespace lumetta {

class TrayIcon {
 public:
  // Shell_NotifyIconW; tests pass their own to play a shell that fails.
  using NotifyFunction = BOOL(WINAPI*)(DWORD message, NOTIFYICONDATAW* data);

  explicit TrayIcon(NotifyFunction notify = &Shell_NotifyIconW) : notify_(notify) {}
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  void Init(HWND owner, UINT callbackMessage);
  bool Add();
  // For "TaskbarCreated": the shell forgot every icon.
  void Readd();
  void Remove();
  [[nodiscard]] bool added() const { return added_; }

 private:
  NotifyFunction notify_;
  HWND owner_ = nullptr;
  UINT callbackMessage_ = 0;
  UniqueIcon icon_;
  bool added_ = false;
  // Asked for since the last removal: a shell under load may add an icon and still report a
  // failure, so what was asked for is removed at exit whatever the answers were.
  bool requested_ = false;
};

}  // namespace lumetta
