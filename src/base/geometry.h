// Plain geometry shared by every layer: rectangles and points in DIPs (floats) and on the
// screen (physical pixels, virtual-screen coordinates).
#pragma once

#include <cstdint>

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

struct ScreenRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t w = 0;
  std::int32_t h = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

}  // namespace lumetta
