#include "window/window_geometry.h"

#include <algorithm>

namespace lumetta {

ScreenRect PlaceInWorkArea(std::int32_t width, std::int32_t height, const ScreenRect& workArea,
                           std::optional<ScreenPoint> at) {
  const std::int32_t w = std::min(width, workArea.w);
  const std::int32_t h = std::min(height, workArea.h);
  if (!at) {
    return {workArea.x + (workArea.w - w) / 2, workArea.y + (workArea.h - h) / 2, w, h};
  }
  return {std::clamp(at->x, workArea.x, workArea.x + workArea.w - w),
          std::clamp(at->y, workArea.y, workArea.y + workArea.h - h), w, h};
}

bool InsideInclusive(const RectF& rect, float x, float y) {
  return x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
}

float PixelsToDips(int pixels, std::uint32_t dpi) {
  return static_cast<float>(pixels) * 96.0f / static_cast<float>(dpi == 0 ? 96 : dpi);
}

}  // namespace lumetta
