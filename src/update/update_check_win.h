#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <vector>

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

// Lets another thread end a fetch at once: a server that accepts and never answers would
// otherwise hold the program's exit for the whole time-out.
class FetchCancel {
 public:
  // From any thread: closes the handles of a fetch in progress and refuses later ones.
  void Cancel();
  // For the fetch: keeps `handle` for closing, or closes it when already cancelled (null).
  [[nodiscard]] void* Hold(void* handle);
  void CloseHandles();

 private:
  std::mutex mutex_;
  std::vector<void*> handles_;
  bool cancelled_ = false;
};

// One synchronous GET of `url` with WinHTTP, the body capped at kFeedMaxBytes.
[[nodiscard]] FetchResult FetchFeed(const std::u16string& url, FetchCancel& cancel);

}  // namespace lumetta
