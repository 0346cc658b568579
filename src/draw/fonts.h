// The text styles and the families they are drawn in. Windows 11 brings "Segoe UI Variable"
// and "Segoe Fluent Icons"; Windows 10 has "Segoe UI" and "Segoe MDL2 Assets" (with the same
// code points for every glyph used here). What the system has decides, never its version.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/fixed_list.h"
#include "draw/geometry.h"

namespace lumetta {

enum class TextStyle : int {
  Caption = 0,
  Body = 1,
  BodyStrong = 2,
  BodyLarge = 3,
  Subtitle = 4,
  Title = 5,
  TitleLarge = 6,
  Icon = 7,
  IconSmall = 8,
};
inline constexpr int kTextStyleCount = 9;

enum class TextAlign : int { Leading = 0, Center = 1, Trailing = 2 };

enum class FontRole : int { Text, Display, Icons };

struct TextStyleFont {
  FontRole role;
  float size;
  int weight;
};
[[nodiscard]] const TextStyleFont& StyleFont(TextStyle style);

inline constexpr std::u16string_view kVariableTextFamily = u"Segoe UI Variable Text";
inline constexpr std::u16string_view kVariableDisplayFamily = u"Segoe UI Variable Display";
inline constexpr std::u16string_view kFallbackFamily = u"Segoe UI";
inline constexpr std::u16string_view kFluentIconsFamily = u"Segoe Fluent Icons";
inline constexpr std::u16string_view kMdl2IconsFamily = u"Segoe MDL2 Assets";

struct FontFamilies {
  std::u16string_view text;
  std::u16string_view display;
  std::u16string_view icons;  // empty: no icon font, glyphs are drawn as shapes

  [[nodiscard]] std::u16string_view For(FontRole role) const;
};
// `installed` answers whether the system font collection has a family.
[[nodiscard]] FontFamilies ChooseFontFamilies(
    const std::function<bool(std::u16string_view)>& installed);

inline constexpr int kTextFormatSlots = kTextStyleCount * 3 * 2;
[[nodiscard]] int TextFormatSlot(TextStyle style, TextAlign align, bool wrap);

// The icons the card and the dialogs show, as their code points in both icon fonts.
enum class Glyph : char16_t {
  Settings = 0xE713,
  Pinned = 0xE718,
  Unpinned = 0xE77A,
  Warning = 0xE7BA,
  OpenExternal = 0xE8A7,
  Down = 0xE74B,
  Up = 0xE74A,
};

// A glyph drawn without an icon font: lines, filled triangles and circles in a square box.
struct ShapePart {
  enum class Kind { Line, Triangle, Ring, Dot } kind;
  PointF a;  // a ring's or dot's centre
  PointF b;
  PointF c;
  float radius = 0;
  float stroke = 0;
};
using GlyphParts = FixedList<ShapePart, 9>;  // no allocation per glyph drawn
[[nodiscard]] GlyphParts GlyphShape(Glyph glyph, const RectF& box);

// Measured single-line widths, emptied whole when it would grow past its bound. Its entries
// are fixed slots, so that a figure measured for the first time allocates nothing; a text too
// long for a slot is measured each time instead.
class TextWidthCache {
 public:
  static constexpr std::size_t kMaxEntries = 256;
  static constexpr std::size_t kMaxTextLength = 32;

  [[nodiscard]] std::optional<float> find(TextStyle style, std::u16string_view text) const;
  // Call on a miss, before measuring: empties the cache when it is full.
  void MakeRoom();
  void Store(TextStyle style, std::u16string_view text, float width);
  [[nodiscard]] std::size_t size() const { return size_; }

 private:
  struct Entry {
    TextStyle style{};
    std::size_t length = 0;
    std::array<char16_t, kMaxTextLength> text{};
    float width = 0;
  };
  std::array<Entry, kMaxEntries> entries_{};
  std::size_t size_ = 0;
};

}  // namespace lumetta
