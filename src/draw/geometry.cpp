#include "draw/geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/rounding.h"

namespace lumetta {

BarGeometry ComputeBar(const RectF& rect, double value) {
  const float height = rect.height();
  const double clamped = std::clamp(value, 0.0, 1.0);
  const float fillWidth = std::max(height, static_cast<float>(rect.width() * clamped));
  return {rect, height / 2, RectF{rect.left, rect.top, rect.left + fillWidth, rect.bottom}};
}

CoreBarGeometry ComputeCoreBar(const RectF& rect, std::size_t count, std::size_t index,
                               double value) {
  const auto n = static_cast<float>(count);
  float gap = kCoreBarGap;
  if (count > 1) {
    gap = std::clamp((rect.width() - kCoreBarMinWidth * n) / (n - 1), 0.0f, kCoreBarGap);
  }
  const float width = (rect.width() - gap * (n - 1)) / n;
  const float x = rect.left + static_cast<float>(index) * (width + gap);
  const float right = std::min(x + width, rect.right);  // float sums may overshoot by a hair
  const float fullHeight = rect.height();
  const float fill =
      std::clamp(static_cast<float>(value) * fullHeight, kCoreBarMinFill, fullHeight);
  return {RectF{x, rect.top, right, rect.bottom}, RectF{x, rect.bottom - fill, right, rect.bottom},
          std::min(kCoreBarRadius, width / 2)};
}

PointF ChartPoint(const RectF& rect, std::size_t index, std::size_t count, double value,
                  double maxValue) {
  const double share = std::clamp(value / maxValue, 0.0, 1.0);
  const float x = static_cast<float>(index) * rect.width() / static_cast<float>(count - 1);
  const float y = static_cast<float>(1.0 - share) * rect.height();
  return {rect.left + x, rect.top + y};
}

std::uint32_t GradientKey(const ColorF& color) {
  const auto byte = [](float component) {
    return static_cast<std::uint32_t>(RoundHalfAway(std::clamp(component, 0.0f, 1.0f) * 255.0));
  };
  return byte(color.r) << 24 | byte(color.g) << 16 | byte(color.b) << 8 | byte(color.a);
}

}  // namespace lumetta
