// What the drawing primitives draw, computed in DIPs without any drawing API: bar fills,
// per-core bars, bar segments, chart points, and the keys of the renderer's caches.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/geometry.h"

namespace lumetta {

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

// R << 24 | G << 16 | B << 8 | A of the colour's 8-bit components.
[[nodiscard]] std::uint32_t GradientKey(const ColorF& color);

}  // namespace lumetta
