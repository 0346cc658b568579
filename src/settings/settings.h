// The user's options, their defaults and allowed values, and their JSON form.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumetta {

struct Settings {
  bool showClock = true;
  bool showClockYear = false;
  bool showCpu = true;
  bool showCoreBars = true;
  bool showHardwareDetails = true;
  bool showGpu = true;
  bool showMemory = true;
  bool showNetwork = true;
  bool showSsid = true;
  bool showDisk = true;
  bool showSelf = false;
  // Additions a user switches on; each is written to the file only while on.
  bool showGpuDetails = false;
  bool showBattery = false;
  bool showDiskActivity = false;
  bool showProcesses = false;
  bool networkInBits = false;
  double updateIntervalSeconds = 1.0;
  double diskAlertThreshold = 0.9;
  bool snapToEdges = true;
  bool alwaysOnTop = true;
  double displayScale = 1.0;
  // The card's last top-left corner in virtual-screen pixels, when one is remembered.
  bool hasWindowPosition = false;
  std::int32_t windowX = 0;
  std::int32_t windowY = 0;

  friend bool operator==(const Settings&, const Settings&) = default;
};

struct SettingsBool {
  std::string_view key;
  bool Settings::*field;
};

// The one table of boolean options, walked by both reader and writer, in file order.
inline constexpr std::array<SettingsBool, 13> kSettingsBools{{
    {"showClock", &Settings::showClock},
    {"showClockYear", &Settings::showClockYear},
    {"showCpu", &Settings::showCpu},
    {"showCoreBars", &Settings::showCoreBars},
    {"showHardwareDetails", &Settings::showHardwareDetails},
    {"showGpu", &Settings::showGpu},
    {"showMemory", &Settings::showMemory},
    {"showNetwork", &Settings::showNetwork},
    {"showSsid", &Settings::showSsid},
    {"showDisk", &Settings::showDisk},
    {"showSelf", &Settings::showSelf},
    {"snapToEdges", &Settings::snapToEdges},
    {"alwaysOnTop", &Settings::alwaysOnTop},
}};

// The additions, off by default and written only while on, so that the file of a user who
// switches none of them on stays as it was.
inline constexpr std::array<SettingsBool, 5> kOptInBools{{
    {"showGpuDetails", &Settings::showGpuDetails},
    {"showBattery", &Settings::showBattery},
    {"showDiskActivity", &Settings::showDiskActivity},
    {"showProcesses", &Settings::showProcesses},
    {"networkInBits", &Settings::networkInBits},
}};

inline constexpr std::array<double, 4> kIntervalSteps{0.5, 1.0, 2.0, 5.0};
inline constexpr std::array<double, 7> kDisplayScaleSteps{0.75, 0.9, 1.0, 1.25, 1.5, 1.75, 2.0};
inline constexpr double kDiskAlertMin = 0.5;
inline constexpr double kDiskAlertMax = 0.95;
inline constexpr double kWindowCoordinateLimit = 1e6;

[[nodiscard]] inline Settings DefaultSettings() {
  return Settings{};
}

struct SettingsRead {
  Settings settings;
  // The text is not a JSON object; `settings` holds the defaults.
  bool unreadable = false;
};

[[nodiscard]] SettingsRead SettingsFromJson(std::string_view text);
[[nodiscard]] std::string SettingsToJson(const Settings& settings);
// The display scale `steps` entries away in the scale table, clamped; unknown scales count as 1.0.
[[nodiscard]] double StepDisplayScale(double current, int steps);

}  // namespace lumetta
