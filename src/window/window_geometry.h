// Placement and hit testing of windows, in plain numbers.
#pragma once

#include <cstdint>

#include "base/geometry.h"

namespace lumetta {

// The window's place and size: centred in the work area and never larger than it, so that no
// part of a dialog hides under the taskbar or off the screen (its content scrolls instead).
[[nodiscard]] ScreenRect PlaceInWorkArea(std::int32_t width, std::int32_t height,
                                         const ScreenRect& workArea);
// Edges included.
[[nodiscard]] bool InsideInclusive(const RectF& rect, float x, float y);
// Client pixels to DIPs at `dpi`.
[[nodiscard]] float PixelsToDips(int pixels, std::uint32_t dpi);

}  // namespace lumetta
