// The update check as the card has it: the background check, what it last found, when it
// checks again, and the download page it leads to.
#pragma once

#include <windows.h>

#include <memory>

#include "update/update_check.h"

namespace lumetta {

class Win32UpdateChecker;

class CardUpdates {
 public:
  // The finished check is posted to `window` as `doneMessage`; `timer` of the window is the
  // next check's.
  CardUpdates(HWND window, UINT doneMessage, UINT_PTR timer);
  ~CardUpdates();  // cancels and waits for a running check
  CardUpdates(const CardUpdates&) = delete;
  CardUpdates& operator=(const CardUpdates&) = delete;

  void Check();
  // A check finished: the next one is scheduled; true when the card must show another state.
  bool TakeResult();
  void OpenPage() const;
  [[nodiscard]] const UpdateStatus& status() const { return status_; }

 private:
  HWND window_;
  UINT_PTR timer_;
  std::unique_ptr<Win32UpdateChecker> checker_;
  UpdateStatus status_;
};

}  // namespace lumetta
