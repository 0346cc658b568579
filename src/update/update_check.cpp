#include "update/update_check.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "settings/json.h"

namespace lumetta {
namespace {

std::vector<std::uint32_t> Components(std::u16string_view version) {
  std::vector<std::uint32_t> components;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = version.find(u'.', start);
    const std::u16string_view part = version.substr(
        start, dot == std::u16string_view::npos ? std::u16string_view::npos : dot - start);
    std::uint64_t value = 0;
    bool digits = !part.empty();
    for (char16_t c : part) {
      if (c < u'0' || c > u'9') {
        digits = false;
        break;
      }
      value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - u'0'),
                                      std::numeric_limits<std::uint32_t>::max());
    }
    components.push_back(digits ? static_cast<std::uint32_t>(value) : 0);
    if (dot == std::u16string_view::npos) {
      return components;
    }
    start = dot + 1;
  }
}

}  // namespace

bool IsOlderVersion(std::u16string_view a, std::u16string_view b) {
  const std::vector<std::uint32_t> left = Components(a);
  const std::vector<std::uint32_t> right = Components(b);
  for (std::size_t i = 0; i < std::max(left.size(), right.size()); ++i) {
    const std::uint32_t x = i < left.size() ? left[i] : 0;
    const std::uint32_t y = i < right.size() ? right[i] : 0;
    if (x != y) {
      return x < y;
    }
  }
  return false;
}

UpdateState ClassifyUpdate(std::u16string_view currentVersion, const UpdateInfo& info) {
  if (!info.minimumVersion.empty() && IsOlderVersion(currentVersion, info.minimumVersion)) {
    return kUpdateRequired;
  }
  return IsOlderVersion(currentVersion, info.latestVersion) ? kUpdateAvailable : kUpdateNone;
}

std::optional<UpdateInfo> ParseFeed(std::string_view body) {
  const std::optional<JsonObject> feed = ParseJson(body);
  if (!feed) {
    return std::nullopt;
  }
  const std::optional<std::string> latest = GetString(*feed, "latestVersion");
  const std::optional<std::string> url = GetString(*feed, "url");
  if (!latest || latest->empty() || !url || !url->starts_with("https://")) {
    return std::nullopt;
  }
  UpdateInfo info{FromUtf8(*latest), FromUtf8(*url), {}};
  if (const std::optional<std::string> minimum = GetString(*feed, "minimumVersion")) {
    info.minimumVersion = FromUtf8(*minimum);
  }
  return info;
}

UpdateChecker::UpdateChecker(UpdatePlatform& platform) : platform_(platform) {
  if (const std::uint32_t error = platform_.CreateWork([this] { RunCheck(); }); error != 0) {
    LogEvent(kError, "update", "work_create_failed", "code=" + FormatCode(error));
  } else {
    hasWork_ = true;
  }
}

// A running check is waited for: it touches this object until it has posted its result.
UpdateChecker::~UpdateChecker() {
  if (hasWork_) {
    platform_.CloseWork();
  }
}

void UpdateChecker::Submit() {
  if (hasWork_ && !busy_.exchange(true)) {
    platform_.SubmitWork();
  }
}

bool UpdateChecker::LastCheckSucceeded() {
  std::lock_guard guard(lock_);
  return lastCheckOk_;
}

std::optional<UpdateInfo> UpdateChecker::CopyInfo() {
  std::lock_guard guard(lock_);
  return info_;
}

void UpdateChecker::RunCheck() {
  const FetchResult fetched = platform_.Fetch(platform_.FeedUrl());
  std::optional<UpdateInfo> parsed;
  if (fetched.body) {
    parsed = ParseFeed(*fetched.body);
  }
  if (parsed) {
    if (TakeRecovered(failures_)) {
      LogEvent(kInfo, "update", "recovered");
    }
    LogEvent(kInfo, "update", "checked", "latest=" + ToUtf8(parsed->latestVersion));
  } else if (fetched.error != 0) {
    ReportFailure(failures_, "update", "fetch_failed", fetched.error);
  } else if (fetched.httpStatus != 200) {
    ReportFailure(failures_, "update", "http_status", fetched.httpStatus);
  } else {
    ReportFailure(failures_, "update", "invalid_feed", kErrorInvalidData);
  }
  {
    std::lock_guard guard(lock_);
    lastCheckOk_ = parsed.has_value();
    if (parsed) {
      info_ = std::move(parsed);
    }
  }
  // Cleared before the message, so that the window's answer may submit again at once.
  busy_.store(false);
  platform_.NotifyDone();
}

UpdateResult TakeUpdateResult(std::u16string_view currentVersion,
                              const std::optional<UpdateInfo>& info, UpdateState previous) {
  const UpdateState state = info ? ClassifyUpdate(currentVersion, *info) : kUpdateNone;
  if (state == previous) {
    return {state, false};
  }
  if (state != kUpdateNone) {
    LogEvent(kInfo, "update", state == kUpdateRequired ? "required" : "available",
             "latest=" + ToUtf8(info->latestVersion));
  }
  return {state, true};
}

}  // namespace lumetta
