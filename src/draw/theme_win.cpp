#include "draw/theme_win.h"

#include <dwmapi.h>
#include <uxtheme.h>

namespace lumetta {
namespace {

constexpr DWORD kCornerRound = 2;
constexpr DWORD kBackdropMainWindow = 2;       // Mica
constexpr DWORD kBackdropTransientWindow = 3;  // acrylic

class SystemDwmApi final : public DwmApi {
 public:
  HRESULT SetAttribute(HWND hwnd, DWORD attribute, DWORD value) override {
    return DwmSetWindowAttribute(hwnd, attribute, &value, sizeof value);
  }
  HRESULT ExtendFrameOverClient(HWND hwnd) override {
    const MARGINS wholeWindow{-1, -1, -1, -1};
    return DwmExtendFrameIntoClientArea(hwnd, &wholeWindow);
  }
  bool CompositionEnabled() override {
    BOOL composed = FALSE;
    return SUCCEEDED(DwmIsCompositionEnabled(&composed)) && composed;
  }
};

class SystemColorSchemeApi final : public SystemColorScheme {
 public:
  bool HighContrast() override {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  }
  SystemColorSet Colors() override {
    return {GetSysColor(COLOR_WINDOW),    GetSysColor(COLOR_WINDOWTEXT),
            GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT),
            GetSysColor(COLOR_HOTLIGHT),  GetSysColor(COLOR_GRAYTEXT)};
  }
};

SystemColorScheme* gColorSchemeForTests = nullptr;

// The dark caption, by the attribute the system takes: 20 from Windows 10 20H1 on, 19 before.
void SetDarkCaption(HWND hwnd, DwmApi& dwm, bool dark) {
  if (FAILED(dwm.SetAttribute(hwnd, kDwmUseImmersiveDarkMode, dark ? TRUE : FALSE))) {
    dwm.SetAttribute(hwnd, kDwmUseImmersiveDarkModeBefore20H1, dark ? TRUE : FALSE);
  }
}

}  // namespace

SystemColorScheme& SystemColors() {
  static SystemColorSchemeApi system;
  return gColorSchemeForTests != nullptr ? *gColorSchemeForTests : system;
}

void UseColorSchemeForTests(SystemColorScheme* scheme) {
  gColorSchemeForTests = scheme;
}

DwmApi& SystemDwm() {
  static SystemDwmApi dwm;
  return dwm;
}

bool IsDarkTheme() {
  DWORD value = 0;
  DWORD size = sizeof value;
  const LSTATUS status = RegGetValueW(
      HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize",
      L"AppsUseLightTheme", RRF_RT_REG_DWORD, nullptr, &value, &size);
  return DarkFromSetting(status == ERROR_SUCCESS ? std::optional<std::uint32_t>(value)
                                                 : std::nullopt);
}

WindowLook SetUpWindowFrame(HWND hwnd, WindowFrame frame, DwmApi& dwm, SystemColorScheme& colors) {
  if (colors.HighContrast()) {
    // The theme's own colours, opaque: no material may tint them.
    const Palette palette = HighContrastPalette(colors.Colors());
    SetDarkCaption(hwnd, dwm, palette.dark);
    dwm.SetAttribute(hwnd, kDwmSystemBackdropType, kBackdropNone);
    return {palette, true};
  }
  const bool dark = IsDarkTheme();
  // A system without these attributes keeps its default frame; nothing else depends on them.
  SetDarkCaption(hwnd, dwm, dark);
  if (frame == WindowFrame::Card) {
    dwm.SetAttribute(hwnd, kDwmWindowCornerPreference, kCornerRound);
  }
  const HRESULT backdrop =
      dwm.SetAttribute(hwnd, kDwmSystemBackdropType,
                       frame == WindowFrame::Card ? kBackdropTransientWindow : kBackdropMainWindow);
  dwm.ExtendFrameOverClient(hwnd);
  // The translucent palette needs the material under it; without it the window paints its
  // own plain backdrop instead of showing whatever (often black) lies beneath.
  return {PaletteFor(dark), FAILED(backdrop) || !dwm.CompositionEnabled()};
}

}  // namespace lumetta
