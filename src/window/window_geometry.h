// Placement and hit testing of windows, in plain numbers.
#pragma once

#include <cstdint>
#include <optional>

#include "base/geometry.h"

namespace lumetta {

// The window's place and size: never larger than the work area and inside it, so that no part
// of a dialog hides under the taskbar or off the screen (its content scrolls instead). Centred,
// or as near `at` (its top-left corner) as fits.
[[nodiscard]] ScreenRect PlaceInWorkArea(std::int32_t width, std::int32_t height,
                                         const ScreenRect& workArea,
                                         std::optional<ScreenPoint> at = std::nullopt);
// Edges included.
[[nodiscard]] bool InsideInclusive(const RectF& rect, float x, float y);
// Client pixels to DIPs at `dpi`.
[[nodiscard]] float PixelsToDips(int pixels, std::uint32_t dpi);

}  // namespace lumetta
