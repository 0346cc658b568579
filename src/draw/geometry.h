// What the drawing primitives draw, computed in DIPs without any drawing API: bar fills,
// per-core bars, bar segments, chart points, and the keys of the renderer's caches.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace lumetta {

struct RectF {
  float left = 0;
  float top = 0;
  float right = 0;
  float bottom = 0;

  [[nodiscard]] float width() const { return right - left; }
  [[nodiscard]] float height() const { return bottom - top; }
  friend bool operator==(const RectF&, const RectF&) = default;
};

struct PointF {
  float x = 0;
  float y = 0;
  friend bool operator==(const PointF&, const PointF&) = default;
};

// Same layout as D2D1_COLOR_F.
struct ColorF {
  float r = 0;
  float g = 0;
  float b = 0;
  float a = 0;
  friend bool operator==(const ColorF&, const ColorF&) = default;
};

// A pill bar: its track, the corner radius (0 means square) and the filled part.
struct BarGeometry {
  RectF track;
  float radius = 0;
  RectF fill;
};
// The fill is never narrower than the bar is high, so 0 still shows a dot.
[[nodiscard]] BarGeometry ComputeBar(const RectF& rect, double value);

inline constexpr float kCoreBarGap = 2.0f;
inline constexpr float kCoreBarMinWidth = 2.0f;
inline constexpr float kCoreBarMinFill = 2.0f;
inline constexpr float kCoreBarRadius = 1.5f;

struct CoreBarGeometry {
  RectF track;
  RectF fill;
  float radius = 0;
};
// Bar `index` of `count` vertical bars across `rect`. With many processors the gaps shrink
// (to nothing) before the bars get narrower than kCoreBarMinWidth; the row always fits.
[[nodiscard]] CoreBarGeometry ComputeCoreBar(const RectF& rect, std::size_t count,
                                             std::size_t index, double value);

inline constexpr double kSegmentMinFraction = 0.005;
inline constexpr float kSegmentGap = 2.0f;
inline constexpr float kSegmentMinWidth = 2.0f;

struct Segment {
  std::size_t index = 0;  // of the fraction it shows
  RectF rect;
};
// Calls `visit(segment)` for each fraction large enough to show, left to right.
template <typename Visit>
void ForEachSegment(const RectF& rect, std::span<const double> fractions, Visit&& visit) {
  float offset = 0;
  for (std::size_t i = 0; i < fractions.size(); ++i) {
    if (!(fractions[i] > kSegmentMinFraction)) {
      continue;
    }
    const double share = fractions[i] < 1.0 ? fractions[i] : 1.0;
    const float width =
        std::max(kSegmentMinWidth, static_cast<float>(share) * rect.width() - kSegmentGap);
    const float right = std::min(rect.right, rect.left + offset + width);
    visit(Segment{i, RectF{rect.left + offset, rect.top, right, rect.bottom}});
    offset += width + kSegmentGap;
  }
}

// Point `index` of `count` history values, in absolute coordinates; the value is clamped to
// 0..maxValue. Needs count >= 2 and maxValue > 0.
[[nodiscard]] PointF ChartPoint(const RectF& rect, std::size_t index, std::size_t count,
                                double value, double maxValue);

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

struct TextStyleFont {
  std::u16string_view family;
  float size;
  int weight;
};
[[nodiscard]] const TextStyleFont& StyleFont(TextStyle style);
inline constexpr std::u16string_view kFallbackFamily = u"Segoe UI";

inline constexpr int kTextFormatSlots = kTextStyleCount * 3 * 2;
[[nodiscard]] int TextFormatSlot(TextStyle style, TextAlign align, bool wrap);

// R << 24 | G << 16 | B << 8 | A of the colour's 8-bit components.
[[nodiscard]] std::uint32_t GradientKey(const ColorF& color);

// Measured single-line widths, emptied whole when it would grow past its bound.
class TextWidthCache {
 public:
  static constexpr std::size_t kMaxEntries = 256;

  [[nodiscard]] std::optional<float> find(TextStyle style, std::u16string_view text) const;
  // Call on a miss, before measuring: empties the cache when it is full.
  void makeRoom();
  void store(TextStyle style, std::u16string_view text, float width);
  [[nodiscard]] std::size_t size() const { return widths_.size(); }

 private:
  struct Key {
    TextStyle style;
    std::u16string text;
  };
  struct KeyView {
    TextStyle style;
    std::u16string_view text;
  };
  // Ordered by style, then by the text's code units; looked up without copying the text.
  struct Less {
    using is_transparent = void;
    template <typename A, typename B>
    bool operator()(const A& a, const B& b) const {
      if (a.style != b.style) {
        return a.style < b.style;
      }
      return std::u16string_view(a.text) < std::u16string_view(b.text);
    }
  };
  std::map<Key, float, Less> widths_;
};

}  // namespace lumetta
