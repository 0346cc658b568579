// What the version feed said, as the card and its menu show it.
#pragma once

#include <cstdint>
#include <string>

namespace lumetta {

struct UpdateInfo {
  std::u16string latestVersion;
  std::u16string url;
  std::u16string minimumVersion;  // empty when the feed names none
};

// 0 none, 1 a newer version is available, 2 an update is required.
enum UpdateState : std::uint32_t {
  kUpdateNone = 0,
  kUpdateAvailable = 1,
  kUpdateRequired = 2,
};

}  // namespace lumetta
