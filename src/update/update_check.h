// The version feed: reading it, comparing versions, and the background check that asks it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "app/background_job.h"
#include "app/log.h"
#include "update/update_info.h"

namespace lumetta {

inline constexpr std::u16string_view kUpdateFeedVariable = u"LUMETTA_UPDATE_FEED_URL";
// The built-in feed; the variable above replaces it.
inline constexpr std::u16string_view kDefaultFeedUrl =
    u"https://updates.norvale.com/lumettawin/version.json";
inline constexpr std::size_t kFeedMaxBytes = 65536;
inline constexpr std::uint32_t kErrorInvalidData = 13;
inline constexpr std::uint32_t kCheckAgainAfterSuccessMs = 86'400'000;  // 24 h
inline constexpr std::uint32_t kCheckAgainAfterFailureMs = 3'600'000;   // 1 h

// True when `a` is an older dotted version than `b`; non-numeric components count as 0.
[[nodiscard]] bool IsOlderVersion(std::u16string_view a, std::u16string_view b);
[[nodiscard]] UpdateState ClassifyUpdate(std::u16string_view currentVersion,
                                         const UpdateInfo& info);
// An "https://" address with a host and no blank, control byte or quotation mark: safe to hand
// to the shell as the page to open.
[[nodiscard]] bool IsSafeDownloadUrl(std::string_view url);
// A feed needs a non-empty "latestVersion" and a safe download "url"; nothing otherwise.
[[nodiscard]] std::optional<UpdateInfo> ParseFeed(std::string_view body);

struct FetchResult {
  std::uint32_t error = 0;          // a Windows error code; 0 when the request went through
  std::uint32_t httpStatus = 0;     // when there was no error
  std::optional<std::string> body;  // only for status 200
};

// The thread pool and the HTTP client, for the background check.
class UpdatePlatform : public JobPlatform {
 public:
  // From the UI thread: makes a fetch in progress (and any later one) fail at once.
  virtual void CancelFetch() = 0;
  // On the worker: the feed address (the variable, or the built-in one).
  virtual std::u16string FeedUrl() = 0;
  virtual FetchResult Fetch(const std::u16string& url) = 0;
};

class UpdateChecker {
 public:
  explicit UpdateChecker(UpdatePlatform& platform);
  ~UpdateChecker();
  UpdateChecker(const UpdateChecker&) = delete;
  UpdateChecker& operator=(const UpdateChecker&) = delete;

  // Starts a check unless one is still running.
  void Submit();
  [[nodiscard]] bool LastCheckSucceeded();
  [[nodiscard]] std::optional<UpdateInfo> CopyInfo();
  // The check itself; the work item runs it.
  void RunCheck();

 private:
  UpdatePlatform& platform_;
  std::atomic<bool> closing_{false};
  std::mutex lock_;
  std::optional<UpdateInfo> info_;
  bool lastCheckOk_ = false;
  FailureLatch failures_;  // used by the check only
  BackgroundJob job_;      // last: closed first, while the rest is still there
};

// When to check again after a check that succeeded or failed.
[[nodiscard]] std::uint32_t NextCheckDelayMs(bool lastCheckSucceeded);

// What the card shows of the checks: the state and the feed it comes from.
class UpdateStatus {
 public:
  // Takes a finished check's feed; true when the state changed (the card lays out again).
  // Logs "available" or "required" when the state changes to it. Without a known own
  // version nothing is older or newer: the state stays none, and that is logged once.
  bool Take(const std::optional<std::u16string>& ownVersion, std::optional<UpdateInfo> info);
  [[nodiscard]] UpdateState state() const { return state_; }
  [[nodiscard]] const std::optional<UpdateInfo>& info() const { return info_; }

 private:
  UpdateState state_ = UpdateState::None;
  std::optional<UpdateInfo> info_;
  bool unknownVersionLogged_ = false;
};

}  // namespace lumetta
