// The two constant colour sets, dark and light; the one made from the system's colours while a
// high-contrast theme is on; and the theme-change notices.
#pragma once

#include <cstdint>
#include <optional>

#include "draw/geometry.h"

namespace lumetta {

struct Palette {
  bool dark;
  ColorF textPrimary;
  ColorF textSecondary;
  ColorF textTertiary;
  ColorF track;
  ColorF chartBackground;
  ColorF divider;
  ColorF panel;
  ColorF controlFill;
  ColorF hoverFill;
  ColorF accent;
  ColorF accentAlt;
  ColorF neutral;
  ColorF warning;
  ColorF critical;
  ColorF good;
  ColorF onAccent;    // text and knobs on an accent fill
  ColorF buttonFace;  // the card's hover buttons
  ColorF knob;        // the slider's knob
  // What a window paints under its content where the system draws no backdrop material (no
  // desktop composition, or high contrast): a plain colour near the material's.
  ColorF backdrop;
  bool highContrast = false;  // only system colours, opaque; hover shows as an outline
};

[[nodiscard]] const Palette& PaletteFor(bool dark);

// GetSysColor's colours (0x00BBGGRR) that a high-contrast theme sets.
struct SystemColorSet {
  std::uint32_t window;
  std::uint32_t windowText;
  std::uint32_t highlight;
  std::uint32_t highlightText;
  std::uint32_t hotLight;
  std::uint32_t grayText;
};
[[nodiscard]] Palette HighContrastPalette(const SystemColorSet& colors);

// A dimmed (disabled) control's colour: faded, or the system's gray text in high contrast.
[[nodiscard]] ColorF DisabledColor(const Palette& palette, const ColorF& color);

// "AppsUseLightTheme" as read (nothing when the read failed): light only for a non-zero value.
[[nodiscard]] bool DarkFromSetting(std::optional<std::uint32_t> appsUseLightTheme);

// Whether a WM_SETTINGCHANGE tells of a theme switch: "ImmersiveColorSet" for dark and light,
// SPI_SETHIGHCONTRAST (0x43) for high contrast on or off.
[[nodiscard]] bool IsThemeChangeNotice(std::uint32_t action, const char16_t* text);

}  // namespace lumetta
