#include "dialogs/dialog_geometry.h"

#include <algorithm>

namespace lumetta {

ScreenPoint CentreInWorkArea(const ScreenRect& window, const ScreenRect& workArea) {
  return {workArea.x + (workArea.w - window.w) / 2,
          workArea.y + std::max(0, (workArea.h - window.h) / 2)};
}

bool InsideInclusive(const RectF& rect, float x, float y) {
  return x >= rect.left && x <= rect.right && y >= rect.top && y <= rect.bottom;
}

float PixelsToDips(int pixels, std::uint32_t dpi) {
  return static_cast<float>(pixels) * 96.0f / static_cast<float>(dpi == 0 ? 96 : dpi);
}

}  // namespace lumetta
