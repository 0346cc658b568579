#pragma once

#include <windows.h>

#include <memory>

#include "update/update_check.h"

namespace lumetta {

// The check over WinHTTP and the thread pool; completion is posted to `window` as `message`.
class Win32UpdateChecker {
 public:
  Win32UpdateChecker(HWND window, UINT message);
  ~Win32UpdateChecker();
  Win32UpdateChecker(const Win32UpdateChecker&) = delete;
  Win32UpdateChecker& operator=(const Win32UpdateChecker&) = delete;

  [[nodiscard]] UpdateChecker& checker() { return *checker_; }

 private:
  std::unique_ptr<UpdatePlatform> platform_;
  std::unique_ptr<UpdateChecker> checker_;  // goes first: it waits for a running check
};

// "LUMETTA_UPDATE_FEED_URL" when it holds 1 to 2047 characters, else the built-in address.
[[nodiscard]] std::u16string FeedUrlFromEnvironment();

// One synchronous GET of `url` with WinHTTP, the body capped at kFeedMaxBytes.
[[nodiscard]] FetchResult FetchFeed(const std::u16string& url);

}  // namespace lumetta
