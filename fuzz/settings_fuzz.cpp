// The settings reader on arbitrary bytes: every record it yields is valid and round-trips.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "base/rounding.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace lumetta;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const SettingsRead read = SettingsFromJson(text);
  const Settings& s = read.settings;
  const bool valid =
      std::count(kIntervalSteps.begin(), kIntervalSteps.end(), s.updateIntervalSeconds) == 1 &&
      std::count(kDisplayScaleSteps.begin(), kDisplayScaleSteps.end(), s.displayScale) == 1 &&
      s.diskAlertThreshold >= kDiskAlertMin && s.diskAlertThreshold <= kDiskAlertMax &&
      RoundHalfAway(s.diskAlertThreshold * 20) / 20 == s.diskAlertThreshold &&
      std::abs(s.windowX) <= kWindowCoordinateLimit &&
      std::abs(s.windowY) <= kWindowCoordinateLimit;
  if (!valid) {
    std::abort();
  }
  const SettingsRead again = SettingsFromJson(SettingsToJson(s));
  if (again.unreadable || !(again.settings == s)) {
    std::abort();
  }
  return 0;
}
