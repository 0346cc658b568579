#include "update/update_check.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "text/json.h"
#include "text/utf.h"

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

bool IsSafeDownloadUrl(std::string_view url) {
  constexpr std::string_view kScheme = "https://";
  if (!url.starts_with(kScheme)) {
    return false;
  }
  for (const char c : url) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 32 || byte == '"' || byte == 127) {
      return false;
    }
  }
  std::string_view authority = url.substr(kScheme.size());
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  const std::string_view host = authority.substr(0, authority.rfind(':'));
  return !host.empty();
}

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
    return UpdateState::Required;
  }
  return IsOlderVersion(currentVersion, info.latestVersion) ? UpdateState::Available
                                                            : UpdateState::None;
}

std::optional<UpdateInfo> ParseFeed(std::string_view body) {
  const std::optional<JsonObject> feed = ParseJson(body);
  if (!feed) {
    return std::nullopt;
  }
  const std::optional<std::string> latest = GetString(*feed, "latestVersion");
  const std::optional<std::string> url = GetString(*feed, "url");
  if (!latest || latest->empty() || !url || !IsSafeDownloadUrl(*url)) {
    return std::nullopt;
  }
  UpdateInfo info{FromUtf8(*latest), FromUtf8(*url), {}};
  if (const std::optional<std::string> minimum = GetString(*feed, "minimumVersion")) {
    info.minimumVersion = FromUtf8(*minimum);
  }
  return info;
}

UpdateChecker::UpdateChecker(UpdatePlatform& platform)
    : platform_(platform), job_(platform, "update", [this] { RunCheck(); }) {}

// A running check is cut short and waited for: it touches this object until it ends.
UpdateChecker::~UpdateChecker() {
  closing_.store(true);
  platform_.CancelFetch();
  job_.Close();
}

void UpdateChecker::Submit() {
  job_.Submit();
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
  if (closing_.load()) {
    return;  // cancelled at exit: nothing to report, nobody to tell
  }
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
  job_.Finish();
}

std::uint32_t NextCheckDelayMs(bool lastCheckSucceeded) {
  return lastCheckSucceeded ? kCheckAgainAfterSuccessMs : kCheckAgainAfterFailureMs;
}

bool UpdateStatus::Take(const std::optional<std::u16string>& ownVersion,
                        std::optional<UpdateInfo> info) {
  info_ = std::move(info);
  UpdateState state = UpdateState::None;
  if (info_ && !ownVersion) {
    if (!unknownVersionLogged_) {
      LogEvent(kWarn, "update", "own_version_unknown");
      unknownVersionLogged_ = true;
    }
  } else if (info_) {
    state = ClassifyUpdate(*ownVersion, *info_);
  }
  if (state == state_) {
    return false;
  }
  state_ = state;
  if (state != UpdateState::None) {
    LogEvent(kInfo, "update", state == UpdateState::Required ? "required" : "available",
             "latest=" + ToUtf8(info_->latestVersion));
  }
  return true;
}

}  // namespace lumetta
