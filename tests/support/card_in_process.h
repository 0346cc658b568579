// The card's window, made in the test's own process.
#pragma once

#include <windows.h>

#include "card/monitor_window.h"
#include "support/factories.h"

namespace lumetta::test {

// A card whose update check reaches nothing (a closed port) while it lives; the variable is put
// back and the window destroyed even when an assertion ends the test early.
class CardInProcess {
 public:
  CardInProcess() = default;
  ~CardInProcess() {
    if (card.hwnd() != nullptr) {
      DestroyWindow(card.hwnd());
    }
  }
  CardInProcess(const CardInProcess&) = delete;
  CardInProcess& operator=(const CardInProcess&) = delete;

 private:
  struct NoUpdateFeed {
    NoUpdateFeed() {
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
      SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", L"http://127.0.0.1:9/");
    }
    ~NoUpdateFeed() { SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr); }
  } noUpdateFeed_;  // first: set before the card is made, put back after it is gone
  Factories factories_;

 public:
  MonitorWindow card{factories_.d2d.Get(), factories_.dwrite.Get(), nullptr};
};

}  // namespace lumetta::test
