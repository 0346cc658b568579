#include "settings/settings.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "base/rounding.h"
#include "text/json.h"

namespace lumetta {
namespace {

constexpr std::size_t kDefaultScaleIndex = 2;

template <std::size_t N>
bool IsStep(const std::array<double, N>& steps, double value) {
  return std::find(steps.begin(), steps.end(), value) != steps.end();
}

std::optional<std::int32_t> Coordinate(const JsonObject& object, std::string_view key) {
  const std::optional<double> value = GetNumber(object, key);
  if (!value || std::fabs(*value) > kWindowCoordinateLimit) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(RoundHalfAway(*value));
}

}  // namespace

SettingsRead SettingsFromJson(std::string_view text) {
  SettingsRead read;
  const std::optional<JsonObject> object = ParseJson(text);
  if (!object) {
    read.unreadable = true;
    return read;
  }
  Settings& settings = read.settings;
  for (const auto& table : {std::span<const SettingsBool>(kSettingsBools),
                            std::span<const SettingsBool>(kOptInBools)}) {
    for (const SettingsBool& entry : table) {
      if (const std::optional<bool> value = GetBool(*object, entry.key)) {
        settings.*entry.field = *value;
      }
    }
  }
  if (const std::optional<double> interval = GetNumber(*object, "updateIntervalSeconds");
      interval && IsStep(kIntervalSteps, *interval)) {
    settings.updateIntervalSeconds = *interval;
  }
  if (const std::optional<double> threshold = GetNumber(*object, "diskAlertThreshold")) {
    const double clamped = std::clamp(*threshold, kDiskAlertMin, kDiskAlertMax);
    settings.diskAlertThreshold = RoundHalfAway(clamped * 20.0) / 20.0;
  }
  if (const std::optional<double> scale = GetNumber(*object, "displayScale");
      scale && IsStep(kDisplayScaleSteps, *scale)) {
    settings.displayScale = *scale;
  }
  const std::optional<std::int32_t> x = Coordinate(*object, "windowX");
  const std::optional<std::int32_t> y = Coordinate(*object, "windowY");
  if (x && y) {
    settings.hasWindowPosition = true;
    settings.windowX = *x;
    settings.windowY = *y;
  }
  return read;
}

std::string SettingsToJson(const Settings& settings) {
  std::vector<JsonMember> members;
  members.reserve(kSettingsBools.size() + kOptInBools.size() + 5);
  for (const SettingsBool& entry : kSettingsBools) {
    members.emplace_back(std::string(entry.key), settings.*entry.field);
  }
  for (const SettingsBool& entry : kOptInBools) {
    if (settings.*entry.field) {
      members.emplace_back(std::string(entry.key), true);
    }
  }
  members.emplace_back("updateIntervalSeconds", settings.updateIntervalSeconds);
  members.emplace_back("diskAlertThreshold", settings.diskAlertThreshold);
  members.emplace_back("displayScale", settings.displayScale);
  if (settings.hasWindowPosition) {
    members.emplace_back("windowX", static_cast<double>(settings.windowX));
    members.emplace_back("windowY", static_cast<double>(settings.windowY));
  }
  return WriteJson(members);
}

double StepDisplayScale(double current, int steps) {
  const auto found = std::find(kDisplayScaleSteps.begin(), kDisplayScaleSteps.end(), current);
  const auto index = found == kDisplayScaleSteps.end()
                         ? static_cast<std::ptrdiff_t>(kDefaultScaleIndex)
                         : found - kDisplayScaleSteps.begin();
  const auto last = static_cast<std::ptrdiff_t>(kDisplayScaleSteps.size()) - 1;
  return kDisplayScaleSteps[static_cast<std::size_t>(
      std::clamp(index + steps, std::ptrdiff_t{0}, last))];
}

}  // namespace lumetta
