// Starting at login through the per-user Run key, respecting Windows' own switch for it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace lumetta {

enum class LoginItemState : std::uint32_t {
  Off = 0,
  On = 1,
  DisabledInWindows = 2,  // the user switched it off in Windows' Startup apps page
};

// `approved`: the StartupApproved bytes, or nothing when they cannot be read.
[[nodiscard]] LoginItemState LoginStateFrom(bool hasRunEntry,
                                            std::optional<std::span<const std::uint8_t>> approved);
[[nodiscard]] bool IsDisabledInWindows(LoginItemState state);
// Whether a Run entry (quoted or not) names `programPath`, ignoring letter case.
[[nodiscard]] bool LoginEntryMatches(std::u16string_view entry, std::u16string_view programPath);

// Windows build: the real registry.
[[nodiscard]] LoginItemState GetLoginItemState();
LoginItemState SetLoginItem(bool enable);
void OpenStartupAppsSettings();
// At start-up: points a stale Run entry at this program again; never registers one.
void RepairLoginItem();

}  // namespace lumetta
