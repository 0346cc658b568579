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

enum class UpdateState : std::uint32_t {
  None = 0,
  Available = 1,  // a newer version exists
  Required = 2,   // the running version is older than the feed's minimum
};

}  // namespace lumetta
