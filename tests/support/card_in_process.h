// The card's window, made in the test's own process.
#pragma once

#include <windows.h>

#include "card/card_window.h"
#include "support/factories.h"
#include "support/loopback_responder.h"

namespace lumetta::test {

// A card whose update check reaches a loopback port that refuses it while it lives; the variable
// is put back and the window destroyed even when an assertion ends the test early.
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
      SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", feed.Url().c_str());
    }
    ~NoUpdateFeed() { SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr); }
    LoopbackResponder feed{false};
  } noUpdateFeed_;  // first: set before the card is made, put back after it is gone
  Factories factories_;

 public:
  CardWindow card{factories_.d2d.Get(), factories_.dwrite.Get(), nullptr};
};

}  // namespace lumetta::test
