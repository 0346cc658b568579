#pragma once

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>

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
// otherwise hold the program's exit for the whole time-out. It calls no WinHTTP function, so no
// handle is ever closed under the fetch's feet: the fetching thread wakes and closes its own
// request, which is how WinHTTP's asynchronous mode cancels an operation in progress.
class FetchCancel {
 public:
  // What a cancel shares with the fetch and with WinHTTP's callbacks, which may outlive both.
  struct Signal {
    std::mutex mutex;
    std::condition_variable changed;  // a cancel, or a completion of the request
    bool cancelled = false;
  };

  // From any thread: ends a fetch in progress and refuses later ones.
  void Cancel();
  [[nodiscard]] std::shared_ptr<Signal> signal() const { return signal_; }

 private:
  std::shared_ptr<Signal> signal_ = std::make_shared<Signal>();
};

// One GET of `url` with WinHTTP, the body capped at kFeedMaxBytes; a cancel ends it as
// ERROR_WINHTTP_OPERATION_CANCELLED. It waits on the calling thread and starts none.
[[nodiscard]] FetchResult FetchFeed(const std::u16string& url, FetchCancel& cancel);

}  // namespace lumetta
