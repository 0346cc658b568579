// The ids of the string tables, each named once here. The resource compiler reads the same
// names from a header the build generates from this list; both languages carry every id.
#pragma once

#include <cstdint>

// X(name, id) for every text.
#define LUMETTA_TEXT_IDS(X)             \
  X(kTextNothingToShow, 1000)           \
  X(kTextMemory, 1001)                  \
  X(kTextApp, 1002)                     \
  X(kTextKernel, 1003)                  \
  X(kTextCommit, 1004)                  \
  X(kTextPressureNormal, 1005)          \
  X(kTextPressureElevated, 1006)        \
  X(kTextPressureCritical, 1007)        \
  X(kTextNetwork, 1008)                 \
  X(kTextDisk, 1009)                    \
  X(kTextFree, 1010)                    \
  X(kTextUsedOf, 1011)                  \
  X(kTextUsageAbove, 1012)              \
  X(kTextUpdateRequired, 1013)          \
  X(kTextDatePattern, 1014)             \
  X(kTextDatePatternYear, 1015)         \
  X(kTextClock, 1016)                   \
  X(kTextListSeparator, 1017)           \
  X(kTextUnavailable, 1018)             \
  X(kTextReceiving, 1019)               \
  X(kTextSending, 1020)                 \
  X(kTextPressure, 1021)                \
  X(kTextBattery, 1022)                 \
  X(kTextCharging, 1023)                \
  X(kTextPluggedIn, 1024)               \
  X(kTextOnBattery, 1025)               \
  X(kTextTimeLeft, 1026)                \
  X(kTextProcesses, 1027)               \
  X(kTextDiskActivity, 1028)            \
  X(kTextDiskReading, 1029)             \
  X(kTextDiskWriting, 1030)             \
  X(kTextTemperature, 1031)             \
  X(kTextGpuMemory, 1032)               \
  X(kTextMostCpu, 1033)                 \
  X(kTextMostMemory, 1034)              \
  X(kTextMenuUpdateAvailable, 1100)     \
  X(kTextMenuAlwaysOnTop, 1101)         \
  X(kTextMenuSnap, 1102)                \
  X(kTextMenuSettings, 1103)            \
  X(kTextMenuAbout, 1104)               \
  X(kTextMenuExit, 1105)                \
  X(kTextMenuMove, 1106)                \
  X(kTextSettingsTitle, 1200)           \
  X(kTextSettingsShow, 1201)            \
  X(kTextSettingsClock, 1202)           \
  X(kTextSettingsClockYear, 1203)       \
  X(kTextSettingsCpu, 1204)             \
  X(kTextSettingsCoreBars, 1205)        \
  X(kTextSettingsGpu, 1206)             \
  X(kTextSettingsHardwareDetails, 1207) \
  X(kTextSettingsMemory, 1208)          \
  X(kTextSettingsNetwork, 1209)         \
  X(kTextSettingsDisk, 1210)            \
  X(kTextSettingsSelf, 1211)            \
  X(kTextSettingsGeneral, 1212)         \
  X(kTextSettingsStartAtLogin, 1213)    \
  X(kTextSettingsStartupDisabled, 1214) \
  X(kTextSettingsStartupApps, 1215)     \
  X(kTextSettingsWindow, 1216)          \
  X(kTextSettingsSnap, 1217)            \
  X(kTextSettingsScale, 1218)           \
  X(kTextSettingsDiskAlert, 1219)       \
  X(kTextSettingsDiskAlertAbove, 1220)  \
  X(kTextSettingsInterval, 1221)        \
  X(kTextSettingsMeasureEvery, 1222)    \
  X(kTextSettingsIntervalHint, 1223)    \
  X(kTextSettingsSeconds, 1224)         \
  X(kTextSettingsSaveFailed, 1225)      \
  X(kTextSettingsSsid, 1226)            \
  X(kTextSettingsNoDataFolder, 1227)    \
  X(kTextSettingsGpuDetails, 1228)      \
  X(kTextSettingsBattery, 1229)         \
  X(kTextSettingsDiskActivity, 1230)    \
  X(kTextSettingsProcesses, 1231)       \
  X(kTextSettingsNetworkBits, 1232)     \
  X(kTextAboutTitle, 1300)              \
  X(kTextAboutTagline, 1301)            \
  X(kTextAboutVersion, 1302)            \
  X(kTextAboutDescription, 1303)        \
  X(kTextAboutLicense, 1304)            \
  X(kTextAboutNoThirdParty, 1305)       \
  X(kTextStartupFailed, 1400)           \
  X(kTextStageDirect2D, 1401)           \
  X(kTextStageDirectWrite, 1402)        \
  X(kTextStageWindow, 1403)

namespace lumetta {

// NOLINTNEXTLINE(bugprone-macro-parentheses): the argument is an enumerator's name.
#define LUMETTA_TEXT_ENUM(name, id) name = id,
enum TextId : std::uint32_t { LUMETTA_TEXT_IDS(LUMETTA_TEXT_ENUM) };
#undef LUMETTA_TEXT_ENUM

#define LUMETTA_TEXT_LIST(name, id) name,
inline constexpr TextId kAllTextIds[] = {LUMETTA_TEXT_IDS(LUMETTA_TEXT_LIST)};
#undef LUMETTA_TEXT_LIST

}  // namespace lumetta
