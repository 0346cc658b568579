#include "card/card_placement_win.h"

#include <new>

#include "card/card_placement.h"

namespace lumetta {
namespace {

ScreenRect ToScreenRect(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM context) noexcept {
  auto* areas = reinterpret_cast<std::vector<ScreenRect>*>(context);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoW(monitor, &info)) {
    const auto where = (info.dwFlags & MONITORINFOF_PRIMARY) != 0 ? areas->begin() : areas->end();
    try {
      areas->insert(where, ToScreenRect(info.rcWork));
    } catch (const std::bad_alloc&) {
      return FALSE;  // the areas found so far
    }
  }
  return TRUE;
}

void MoveTo(HWND hwnd, ScreenPoint point) {
  SetWindowPos(hwnd, nullptr, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

std::vector<ScreenRect> EnumerateWorkAreas() {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

std::optional<ScreenRect> NearestWorkArea(HWND hwnd) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info)) {
    return std::nullopt;
  }
  return ToScreenRect(info.rcWork);
}

std::optional<ScreenRect> WindowRect(HWND hwnd) {
  RECT rect{};
  if (!GetWindowRect(hwnd, &rect)) {
    return std::nullopt;
  }
  return ToScreenRect(rect);
}

void EnsureOnScreen(HWND hwnd) {
  const std::optional<ScreenRect> window = WindowRect(hwnd);
  const std::optional<ScreenRect> area = NearestWorkArea(hwnd);
  if (!window || !area) {
    return;
  }
  const ScreenPoint target = ClampToWorkAreas(*window, std::span(&*area, 1), kDefaultMargin);
  if (target != ScreenPoint{window->x, window->y}) {
    MoveTo(hwnd, target);
  }
}

bool SnapToEdges(HWND hwnd) {
  const std::optional<ScreenRect> window = WindowRect(hwnd);
  const std::optional<ScreenRect> area = NearestWorkArea(hwnd);
  if (!window || !area) {
    return false;
  }
  const ScreenPoint target = SnapPosition(*window, *area, GetDpiForWindow(hwnd));
  if (target == ScreenPoint{window->x, window->y}) {
    return false;
  }
  MoveTo(hwnd, target);
  return true;
}

void KeepAnchored(HWND hwnd, const ScreenRect& before, const ScreenRect& workArea) {
  if (const std::optional<ScreenRect> after = WindowRect(hwnd)) {
    if (const auto anchored = AnchorAfterResize(before, *after, workArea, GetDpiForWindow(hwnd))) {
      MoveTo(hwnd, *anchored);
    }
  }
}

void ApplyZOrder(HWND hwnd, bool topmost) {
  constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
  if (topmost) {
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, kFlags);
  } else {
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, kFlags);
    SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, kFlags);
  }
}

}  // namespace lumetta
