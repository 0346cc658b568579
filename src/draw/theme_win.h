// The system's app theme and the DWM frame every window is drawn onto.
#pragma once

#include <windows.h>

#include "draw/palette.h"

namespace lumetta {

// Dark unless "AppsUseLightTheme" reads as a non-zero DWORD.
[[nodiscard]] bool IsDarkTheme();
void ApplyDarkFrame(HWND hwnd, bool dark);

enum class WindowFrame { kCard, kDialog };

// Reads the theme, applies the dark frame, rounds the card's corners, chooses the backdrop
// (acrylic for the card, Mica for dialogs) and extends it over the whole window. Returns the
// palette the window's renderer should use.
const Palette& SetUpWindowFrame(HWND hwnd, WindowFrame frame);
// Whether the system composes a backdrop behind transparent pixels (always on Windows 8 and
// later; not under Wine).
[[nodiscard]] bool DesktopComposed();
// On a theme-change notice: reads the theme again and re-applies the dark frame.
const Palette& RefreshWindowTheme(HWND hwnd);

}  // namespace lumetta
