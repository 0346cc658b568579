// The two constant colour sets, dark and light, and the theme-change notice.
#pragma once

#include <cstdint>
#include <optional>

#include "draw/geometry.h"

namespace lumetta {

struct Palette {
  bool dark;
  ColorF TextPrimary;
  ColorF TextSecondary;
  ColorF TextTertiary;
  ColorF Track;
  ColorF ChartBackground;
  ColorF Divider;
  ColorF Panel;
  ColorF ControlFill;
  ColorF HoverFill;
  ColorF Accent;
  ColorF AccentAlt;
  ColorF Neutral;
  ColorF Warning;
  ColorF Critical;
  ColorF Good;
};

[[nodiscard]] const Palette& PaletteFor(bool dark);

// What a window paints under its content where the system draws no backdrop (no desktop
// composition): a plain colour near the system material's.
[[nodiscard]] ColorF BackdropStandIn(const Palette& palette);

// "AppsUseLightTheme" as read (nothing when the read failed): light only for a non-zero value.
[[nodiscard]] bool DarkFromSetting(std::optional<std::uint32_t> appsUseLightTheme);

// True for exactly "ImmersiveColorSet" (the WM_SETTINGCHANGE text of a theme switch).
[[nodiscard]] bool IsThemeChangeNotice(const char16_t* text);

}  // namespace lumetta
