// Ids of the string tables; both languages carry every id.
#pragma once

#include <cstdint>

namespace lumetta {

enum TextId : std::uint32_t {
  kTextNothingToShow = 1000,
  kTextMemory = 1001,
  kTextApp = 1002,
  kTextKernel = 1003,
  kTextCommit = 1004,
  kTextPressureNormal = 1005,
  kTextPressureElevated = 1006,
  kTextPressureCritical = 1007,
  kTextNetwork = 1008,
  kTextDisk = 1009,
  kTextFree = 1010,
  kTextUsedOf = 1011,
  kTextUsageAbove = 1012,
  kTextUpdateRequired = 1013,
  kTextDatePattern = 1014,
  kTextDatePatternYear = 1015,

  kTextMenuUpdateAvailable = 1100,
  kTextMenuAlwaysOnTop = 1101,
  kTextMenuSnap = 1102,
  kTextMenuSettings = 1103,
  kTextMenuAbout = 1104,
  kTextMenuExit = 1105,

  kTextSettingsTitle = 1200,
  kTextSettingsLast = 1226,

  kTextAboutTitle = 1300,
  kTextAboutLast = 1305,

  kTextStartupFailed = 1400,
  kTextStageDirect2D = 1401,
  kTextStageDirectWrite = 1402,
  kTextStageWindow = 1403,
};

// Every id in use, as inclusive ranges.
struct TextIdRange {
  std::uint32_t first;
  std::uint32_t last;
};
inline constexpr TextIdRange kTextIdRanges[] = {
    {1000, 1015}, {1100, 1105}, {1200, 1226}, {1300, 1305}, {1400, 1403}};

}  // namespace lumetta
