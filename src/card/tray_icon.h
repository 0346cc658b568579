// The notification-area icon: added at start, re-added when Explorer restarts, removed at exit.
#pragma once

#include <windows.h>

#include "base/owner_win.h"

namespace lumetta {

class TrayIcon {
 public:
  TrayIcon() = default;
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
  HWND owner_ = nullptr;
  UINT callbackMessage_ = 0;
  UniqueIcon icon_;
  bool added_ = false;
};

}  // namespace lumetta
