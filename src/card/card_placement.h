// Where the card goes: the first position, clamping into work areas, snapping to their edges
// and keeping a right- or bottom-anchored card in place when it grows or shrinks. Physical
// pixels in virtual-screen coordinates.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/geometry.h"
#include "settings/settings.h"

namespace lumetta {

inline constexpr std::int32_t kDefaultMargin = 8;  // pixels, not scaled
inline constexpr std::int32_t kSnapDistanceDip = 24;
inline constexpr std::int32_t kSnapMarginDip = 8;

// value × dpi / 96, rounded to the nearest integer as MulDiv does.
[[nodiscard]] std::int32_t DipsToPixels(std::int32_t dips, std::uint32_t dpi);

// The top-right corner of the work area, `margin` pixels in.
[[nodiscard]] ScreenPoint DefaultPosition(std::int32_t width, const ScreenRect& workArea,
                                          std::int32_t margin);
// Into the work area the rectangle overlaps most; one that overlaps none goes to the default
// corner of the first (primary) work area.
[[nodiscard]] ScreenPoint ClampToWorkAreas(const ScreenRect& rect,
                                           std::span<const ScreenRect> workAreas,
                                           std::int32_t margin);
// The stored position clamped on screen, or the default corner of the primary work area.
[[nodiscard]] ScreenPoint InitialPosition(std::int32_t width, std::int32_t height,
                                          std::span<const ScreenRect> workAreas,
                                          const Settings& settings);
// Where a dropped card rests: 8 DIPs inside each work-area edge it is within 24 DIPs of.
[[nodiscard]] ScreenPoint SnapPosition(const ScreenRect& window, const ScreenRect& workArea,
                                       std::uint32_t dpi);
// After the card was resized from `before` to `after` (top-left fixed) by a scale change or by
// its own content: the position that keeps it on the right or bottom edge it was near, and on
// the bottom edge it would otherwise cross, or nothing.
[[nodiscard]] std::optional<ScreenPoint> AnchorAfterResize(const ScreenRect& before,
                                                           const ScreenRect& after,
                                                           const ScreenRect& workArea,
                                                           std::uint32_t dpi);

}  // namespace lumetta
