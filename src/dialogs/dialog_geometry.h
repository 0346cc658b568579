// Placement and hit testing of the custom-drawn dialogs, in plain numbers.
#pragma once

#include <cstdint>

#include "card/placement.h"
#include "draw/geometry.h"

namespace lumetta {

// Centred in the work area; a window taller than it sticks to its top edge.
[[nodiscard]] ScreenPoint CentreInWorkArea(const ScreenRect& window, const ScreenRect& workArea);
// Edges included.
[[nodiscard]] bool InsideInclusive(const RectF& rect, float x, float y);
// Client pixels to DIPs at `dpi`.
[[nodiscard]] float PixelsToDips(int pixels, std::uint32_t dpi);

}  // namespace lumetta
