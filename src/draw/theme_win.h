// The system's app theme, its high-contrast colours and the DWM frame every window is drawn
// onto.
#pragma once

#include <windows.h>

#include "draw/palette.h"

namespace lumetta {

// Dark unless "AppsUseLightTheme" reads as a non-zero DWORD.
[[nodiscard]] bool IsDarkTheme();

// The DWM calls a window's frame needs; tests play systems that refuse some of them.
class DwmApi {
 public:
  virtual ~DwmApi() = default;
  virtual HRESULT SetAttribute(HWND hwnd, DWORD attribute, DWORD value) = 0;
  virtual HRESULT ExtendFrameOverClient(HWND hwnd) = 0;
  [[nodiscard]] virtual bool CompositionEnabled() = 0;
};
[[nodiscard]] DwmApi& SystemDwm();

// Newer than the MinGW headers' DWMWINDOWATTRIBUTE.
inline constexpr DWORD kDwmUseImmersiveDarkMode = 20;
// The same before Windows 10 20H1 (build 19041), which refuses 20.
inline constexpr DWORD kDwmUseImmersiveDarkModeBefore20H1 = 19;
inline constexpr DWORD kDwmWindowCornerPreference = 33;
inline constexpr DWORD kDwmSystemBackdropType = 38;
inline constexpr DWORD kBackdropNone = 1;

// Whether a high-contrast theme is on, and the system's colours; tests play a high-contrast
// system, which Wine cannot switch on.
class SystemColorScheme {
 public:
  virtual ~SystemColorScheme() = default;
  [[nodiscard]] virtual bool HighContrast() = 0;
  [[nodiscard]] virtual SystemColorSet Colors() = 0;
};
// SystemParametersInfo and GetSysColor; or the scheme a test set with UseColorSchemeForTests.
[[nodiscard]] SystemColorScheme& SystemColors();
void UseColorSchemeForTests(SystemColorScheme* scheme);

enum class WindowFrame { Card, Dialog };

struct WindowLook {
  Palette palette;
  // No system material shows behind the window (Windows 10 and Windows 11 before 22H2 refuse
  // the backdrop type; Wine composes nothing; high contrast wants none): the window paints the
  // palette's Backdrop itself.
  bool plainBackdrop;
};

// Reads the theme, applies the dark frame, rounds the card's corners, asks for the backdrop
// (acrylic for the card, Mica for dialogs; none in high contrast), extends it over the whole
// window and decides what paints under the content. Windows call it at creation, on a theme or
// system colour change and on WM_DWMCOMPOSITIONCHANGED.
WindowLook SetUpWindowFrame(HWND hwnd, WindowFrame frame, DwmApi& dwm = SystemDwm(),
                            SystemColorScheme& colors = SystemColors());

}  // namespace lumetta
