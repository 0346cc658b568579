#include "card/card_placement.h"

#include <algorithm>
#include <cstdlib>

namespace lumetta {
namespace {

std::int64_t OverlapArea(const ScreenRect& a, const ScreenRect& b) {
  const std::int64_t left = std::max<std::int64_t>(a.x, b.x);
  const std::int64_t top = std::max<std::int64_t>(a.y, b.y);
  const std::int64_t right =
      std::min<std::int64_t>(std::int64_t{a.x} + a.w, std::int64_t{b.x} + b.w);
  const std::int64_t bottom =
      std::min<std::int64_t>(std::int64_t{a.y} + a.h, std::int64_t{b.y} + b.h);
  return right > left && bottom > top ? (right - left) * (bottom - top) : 0;
}

std::int32_t ClampAxis(std::int32_t position, std::int32_t size, std::int32_t areaStart,
                       std::int32_t areaSize) {
  if (size >= areaSize) {
    return areaStart;
  }
  return std::clamp(position, areaStart, areaStart + areaSize - size);
}

std::int32_t SnapAxis(std::int32_t start, std::int32_t size, std::int32_t areaStart,
                      std::int32_t areaSize, std::int32_t distance, std::int32_t margin) {
  if (std::abs(start - areaStart) < distance) {
    return areaStart + margin;
  }
  if (std::abs((start + size) - (areaStart + areaSize)) < distance) {
    return areaStart + areaSize - size - margin;
  }
  return start;
}

}  // namespace

std::int32_t DipsToPixels(std::int32_t dips, std::uint32_t dpi) {
  const std::int64_t product = std::int64_t{dips} * dpi;
  const std::int64_t half = product >= 0 ? 48 : -48;
  return static_cast<std::int32_t>((product + half) / 96);
}

ScreenPoint DefaultPosition(std::int32_t width, const ScreenRect& workArea, std::int32_t margin) {
  return {workArea.x + workArea.w - width - margin, workArea.y + margin};
}

ScreenPoint ClampToWorkAreas(const ScreenRect& rect, std::span<const ScreenRect> workAreas,
                             std::int32_t margin) {
  if (workAreas.empty()) {
    return {0, 0};
  }
  const ScreenRect* best = nullptr;
  std::int64_t bestArea = 0;
  for (const ScreenRect& area : workAreas) {
    const std::int64_t overlap = OverlapArea(rect, area);
    if (overlap > bestArea) {
      bestArea = overlap;
      best = &area;
    }
  }
  if (best == nullptr) {
    return DefaultPosition(rect.w, workAreas.front(), margin);
  }
  return {ClampAxis(rect.x, rect.w, best->x, best->w), ClampAxis(rect.y, rect.h, best->y, best->h)};
}

ScreenPoint InitialPosition(std::int32_t width, std::int32_t height,
                            std::span<const ScreenRect> workAreas, const Settings& settings) {
  if (workAreas.empty()) {
    return {0, 0};
  }
  if (settings.hasWindowPosition) {
    return ClampToWorkAreas({settings.windowX, settings.windowY, width, height}, workAreas,
                            kDefaultMargin);
  }
  return DefaultPosition(width, workAreas.front(), kDefaultMargin);
}

ScreenPoint SnapPosition(const ScreenRect& window, const ScreenRect& workArea, std::uint32_t dpi) {
  const std::int32_t distance = DipsToPixels(kSnapDistanceDip, dpi);
  const std::int32_t margin = DipsToPixels(kSnapMarginDip, dpi);
  return {SnapAxis(window.x, window.w, workArea.x, workArea.w, distance, margin),
          SnapAxis(window.y, window.h, workArea.y, workArea.h, distance, margin)};
}

std::optional<ScreenPoint> AnchorAfterResize(const ScreenRect& before, const ScreenRect& after,
                                             const ScreenRect& workArea, std::uint32_t dpi) {
  const std::int32_t distance = DipsToPixels(kSnapDistanceDip, dpi);
  const std::int32_t beforeRight = before.x + before.w;
  const std::int32_t beforeBottom = before.y + before.h;
  const bool nearRight = std::abs(beforeRight - (workArea.x + workArea.w)) < distance;
  const std::int32_t workBottom = workArea.y + workArea.h;
  // Resting on the bottom edge, or crossing it only by growing: the bottom edge stays, and the
  // top never rises above the work area.
  const bool keepBottom = std::abs(beforeBottom - workBottom) < distance ||
                          (after.y + after.h > workBottom && beforeBottom <= workBottom);
  const std::int32_t y =
      keepBottom ? std::max(workArea.y, std::min(beforeBottom, workBottom) - after.h) : after.y;
  if (nearRight) {
    return ScreenPoint{beforeRight - after.w, y};
  }
  if (keepBottom) {
    return ScreenPoint{after.x, y};
  }
  return std::nullopt;
}

}  // namespace lumetta
