#include "draw/theme_win.h"

#include <dwmapi.h>
#include <uxtheme.h>

namespace lumetta {
namespace {

// Newer than the MinGW headers' DWMWINDOWATTRIBUTE.
constexpr DWORD kDwmUseImmersiveDarkMode = 20;
constexpr DWORD kDwmWindowCornerPreference = 33;
constexpr DWORD kDwmSystemBackdropType = 38;
constexpr DWORD kCornerRound = 2;
constexpr DWORD kBackdropMainWindow = 2;       // Mica
constexpr DWORD kBackdropTransientWindow = 3;  // acrylic

void SetAttribute(HWND hwnd, DWORD attribute, DWORD value) {
  // Systems that do not know an attribute keep the default frame; nothing to report.
  DwmSetWindowAttribute(hwnd, attribute, &value, sizeof value);
}

}  // namespace

bool IsDarkTheme() {
  DWORD value = 0;
  DWORD size = sizeof value;
  const LSTATUS status = RegGetValueW(
      HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
      L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &value, &size);
  return DarkFromSetting(status == ERROR_SUCCESS ? std::optional<std::uint32_t>(value)
                                                 : std::nullopt);
}

void ApplyDarkFrame(HWND hwnd, bool dark) {
  SetAttribute(hwnd, kDwmUseImmersiveDarkMode, dark ? TRUE : FALSE);
}

const Palette& SetUpWindowFrame(HWND hwnd, WindowFrame frame) {
  const Palette& palette = RefreshWindowTheme(hwnd);
  if (frame == WindowFrame::kCard) {
    SetAttribute(hwnd, kDwmWindowCornerPreference, kCornerRound);
  }
  SetAttribute(hwnd, kDwmSystemBackdropType,
               frame == WindowFrame::kCard ? kBackdropTransientWindow : kBackdropMainWindow);
  const MARGINS wholeWindow{-1, -1, -1, -1};
  DwmExtendFrameIntoClientArea(hwnd, &wholeWindow);
  return palette;
}

bool DesktopComposed() {
  BOOL composed = FALSE;
  return SUCCEEDED(DwmIsCompositionEnabled(&composed)) && composed;
}

const Palette& RefreshWindowTheme(HWND hwnd) {
  const bool dark = IsDarkTheme();
  ApplyDarkFrame(hwnd, dark);
  return PaletteFor(dark);
}

}  // namespace lumetta
