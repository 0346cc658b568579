// The card's place on the screen through the window manager; the rules themselves are the
// portable ones of placement.h.
#pragma once

#include <windows.h>

#include <optional>
#include <vector>

#include "base/geometry.h"

namespace lumetta {

// Every monitor's work area, the primary monitor's first.
[[nodiscard]] std::vector<ScreenRect> EnumerateWorkAreas();
[[nodiscard]] std::optional<ScreenRect> NearestWorkArea(HWND hwnd);
[[nodiscard]] std::optional<ScreenRect> WindowRect(HWND hwnd);

// Into its nearest monitor's work area.
void EnsureOnScreen(HWND hwnd);
// 8 DIPs inside each edge of the nearest work area the window rests within 24 DIPs of; true
// when it moved.
bool SnapToEdges(HWND hwnd);
// After the window grew or shrank from `before` with its top-left corner fixed: keeps it on
// the right or bottom edge of `workArea` it was near, and inside the bottom edge.
void KeepAnchored(HWND hwnd, const ScreenRect& before, const ScreenRect& workArea);
// Topmost, or below every other window.
void ApplyZOrder(HWND hwnd, bool topmost);

}  // namespace lumetta
