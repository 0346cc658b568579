#include "card/card_updates_win.h"

#include <shellapi.h>

#include <string>

#include "app/log.h"
#include "app/version.h"
#include "base/wide.h"
#include "update/update_check_win.h"

namespace lumetta {

CardUpdates::CardUpdates(HWND window, UINT doneMessage, UINT_PTR timer)
    : window_(window),
      timer_(timer),
      checker_(std::make_unique<Win32UpdateChecker>(window, doneMessage)) {}

CardUpdates::~CardUpdates() = default;

void CardUpdates::Check() {
  checker_->checker().Submit();
}

bool CardUpdates::TakeResult() {
  UpdateChecker& checker = checker_->checker();
  SetTimer(window_, timer_, NextCheckDelayMs(checker.LastCheckSucceeded()), nullptr);
  return status_.Take(ProductVersionText(), checker.CopyInfo());
}

void CardUpdates::OpenPage() const {
  if (!status_.info()) {
    return;
  }
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
      nullptr, L"open", AsWide(status_.info()->url.c_str()), nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    LogEvent(kWarn, "update", "open_page_failed", "code=" + std::to_string(result));
  }
}

}  // namespace lumetta
