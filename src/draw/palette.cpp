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
};

}  // namespace

const Palette& PaletteFor(bool dark) {
  return dark ? kDark : kLight;
}

ColorF BackdropStandIn(const Palette& palette) {
  return palette.dark ? ColorF{0.13f, 0.13f, 0.14f, 1} : ColorF{0.95f, 0.95f, 0.96f, 1};
}

bool DarkFromSetting(std::optional<std::uint32_t> appsUseLightTheme) {
  return !appsUseLightTheme.has_value() || *appsUseLightTheme == 0;
}

bool IsThemeChangeNotice(const char16_t* text) {
  return text != nullptr && std::u16string_view(text) == u"ImmersiveColorSet";
}

}  // namespace lumetta
