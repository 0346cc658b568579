#include "draw/palette.h"

#include <string_view>

namespace lumetta {
namespace {

constexpr float C(int value) {
  return static_cast<float>(value) / 255.0f;
}

constexpr ColorF White(float alpha) {
  return {1, 1, 1, alpha};
}
constexpr ColorF Black(float alpha) {
  return {0, 0, 0, alpha};
}
constexpr ColorF Rgb(int r, int g, int b) {
  return {C(r), C(g), C(b), 1};
}

constexpr Palette kDark{
    true,
    White(0.95f),
    White(0.62f),
    White(0.38f),
    White(0.14f),
    White(0.06f),
    White(0.14f),
    White(0.08f),
    White(0.16f),
    White(0.10f),
    Rgb(10, 132, 255),
    Rgb(64, 200, 224),
    Rgb(152, 152, 157),
    Rgb(255, 159, 10),
    Rgb(255, 69, 58),
    Rgb(48, 209, 88),
    White(1),
    {0.15f, 0.15f, 0.15f, 0.9f},
    {0.27f, 0.27f, 0.27f, 1},
    {0.13f, 0.13f, 0.14f, 1},
};

constexpr Palette kLight{
    false,
    Black(0.90f),
    Black(0.58f),
    Black(0.36f),
    Black(0.10f),
    Black(0.045f),
    Black(0.10f),
    White(0.70f),
    Black(0.14f),
    Black(0.06f),
    Rgb(0, 112, 230),
    Rgb(30, 160, 185),
    Rgb(132, 132, 137),
    Rgb(190, 95, 0),
    Rgb(200, 30, 25),
    Rgb(30, 160, 70),
    White(1),
    {0.97f, 0.97f, 0.97f, 0.9f},
    White(1),
    {0.95f, 0.95f, 0.96f, 1},
};

}  // namespace

const Palette& PaletteFor(bool dark) {
  return dark ? kDark : kLight;
}

namespace {

constexpr ColorF FromColorRef(std::uint32_t color) {
  return Rgb(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
             static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace

Palette HighContrastPalette(const SystemColorSet& colors) {
  const ColorF window = FromColorRef(colors.window);
  const ColorF text = FromColorRef(colors.windowText);
  const ColorF highlight = FromColorRef(colors.highlight);
  const ColorF hotLight = FromColorRef(colors.hotLight);
  const ColorF gray = FromColorRef(colors.grayText);
  // Relative luminance, for the frame's dark mode.
  const float luminance = 0.2126f * window.r + 0.7152f * window.g + 0.0722f * window.b;
  // Every text in the window text colour; states in highlight and hot-light, never in hues of
  // our own, so that the user's theme decides every pixel.
  return {luminance < 0.5f,
          text,
          text,
          text,
          gray,
          window,
          gray,
          window,
          text,
          {0, 0, 0, 0},
          highlight,
          hotLight,
          gray,
          hotLight,
          hotLight,
          text,
          FromColorRef(colors.highlightText),
          window,
          window,
          window,
          true};
}

ColorF DisabledColor(const Palette& palette, const ColorF& color) {
  constexpr float kDisabledAlpha = 0.4f;
  return palette.highContrast ? palette.neutral
                              : ColorF{color.r, color.g, color.b, color.a * kDisabledAlpha};
}

bool DarkFromSetting(std::optional<std::uint32_t> appsUseLightTheme) {
  return !appsUseLightTheme.has_value() || *appsUseLightTheme == 0;
}

bool IsThemeChangeNotice(std::uint32_t action, const char16_t* text) {
  constexpr std::uint32_t kSetHighContrast = 0x43;
  return action == kSetHighContrast ||
         (text != nullptr && std::u16string_view(text) == u"ImmersiveColorSet");
}

}  // namespace lumetta
