#include "draw/theme_win.h"

#include <gtest/gtest.h>

#include <map>

#include "dialogs/settings_window.h"
#include "support/factories.h"
#include "support/scripted_look.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

constexpr wchar_t kKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";
constexpr wchar_t kValue[] = L"AppsUseLightTheme";

// Leaves the user's theme setting as it found it.
class ThemeSetting : public testing::Test {
 protected:
  void SetUp() override {
    DWORD size = sizeof saved_;
    hadValue_ = RegGetValueW(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_DWORD, nullptr, &saved_,
                             &size) == ERROR_SUCCESS;
  }
  void TearDown() override {
    hadValue_ ? Set(saved_) : void(RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue));
  }
  static void Set(DWORD value) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_DWORD, &value, sizeof value),
              ERROR_SUCCESS);
  }

  DWORD saved_ = 0;
  bool hadValue_ = false;
};

// A DWM that answers each attribute as scripted, composing or not.
class ScriptedDwm final : public DwmApi {
 public:
  std::map<DWORD, HRESULT> refused;
  std::map<DWORD, DWORD> set;
  bool composed = true;
  HRESULT SetAttribute(HWND, DWORD attribute, DWORD value) override {
    set[attribute] = value;
    return refused.contains(attribute) ? refused[attribute] : S_OK;
  }
  HRESULT ExtendFrameOverClient(HWND) override { return S_OK; }
  bool CompositionEnabled() override { return composed; }
};

// Windows 11 22H2 takes the backdrop type; Windows 10 and Wine cannot show it: the window then
// paints a plain backdrop. A refused dark frame changes nothing else.
TEST_F(ThemeSetting, TheFrameDecidesPaletteAndBackdropFromWhatTheSystemAnswers) {
  test::TestWindow window;
  Set(1);
  ScriptedDwm eleven;
  WindowLook look = SetUpWindowFrame(window.hwnd(), WindowFrame::Card, eleven);
  EXPECT_EQ(std::pair(look.palette.dark, look.plainBackdrop), std::pair(false, false));
  EXPECT_EQ(eleven.set, (std::map<DWORD, DWORD>{{20, 0}, {33, 2}, {38, 3}}));  // and no 19

  Set(0);
  ScriptedDwm ten;
  ten.refused[kDwmSystemBackdropType] = E_INVALIDARG;
  look = SetUpWindowFrame(window.hwnd(), WindowFrame::Dialog, ten);
  EXPECT_EQ(std::pair(look.palette.dark, look.plainBackdrop), std::pair(true, true));
  EXPECT_EQ(ten.set, (std::map<DWORD, DWORD>{{20, 1}, {38, 2}}));

  // Light only for a non-zero DWORD: no value, or one of another type, is dark.
  RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, kValue);
  EXPECT_TRUE(IsDarkTheme());
  RegSetKeyValueW(HKEY_CURRENT_USER, kKey, kValue, REG_SZ, L"1", 4);
  EXPECT_TRUE(IsDarkTheme());

  ScriptedDwm noDarkFrame;
  noDarkFrame.refused[kDwmUseImmersiveDarkMode] = E_INVALIDARG;
  look = SetUpWindowFrame(window.hwnd(), WindowFrame::Card, noDarkFrame);
  EXPECT_EQ(std::pair(look.palette.dark, look.plainBackdrop), std::pair(true, false));
  EXPECT_EQ(noDarkFrame.set[kDwmUseImmersiveDarkModeBefore20H1], 1u);  // Windows 10 before 20H1

  ScriptedDwm uncomposed;
  uncomposed.composed = false;
  EXPECT_TRUE(SetUpWindowFrame(window.hwnd(), WindowFrame::Card, uncomposed).plainBackdrop);
  EXPECT_TRUE(SetUpWindowFrame(window.hwnd(), WindowFrame::Card).plainBackdrop);  // Wine
}

// A high-contrast theme: the system's colours, opaque, no material asked for and none kept.
TEST_F(ThemeSetting, HighContrastTakesTheSystemColoursAndNoMaterial) {
  test::TestWindow window;
  test::ScriptedColorScheme contrast;
  ScriptedDwm eleven;
  const WindowLook look = SetUpWindowFrame(window.hwnd(), WindowFrame::Card, eleven, contrast);
  EXPECT_EQ(std::tuple(look.palette.highContrast, look.palette.dark, look.plainBackdrop),
            std::tuple(true, true, true));
  EXPECT_EQ(look.palette.backdrop, (ColorF{0, 0, 0, 1}));
  EXPECT_EQ(eleven.set, (std::map<DWORD, DWORD>{{20, 1}, {38, kBackdropNone}}));
  contrast.on = false;
  EXPECT_FALSE(
      SetUpWindowFrame(window.hwnd(), WindowFrame::Card, eleven, contrast).palette.highContrast);
  EXPECT_EQ(eleven.set[38], 3u);  // the material again
}

// Run alone by tools/on-small-screen: 144 DPI on a 1280 × 720 screen, where the dialog's 660
// DIPs cannot fit. It shrinks to the work area and its list scrolls to the last row.
TEST(SettingsDialog, SmallScreenAt144DpiFitsTheWorkAreaAndScrolls) {
  ASSERT_EQ(GetDpiForSystem(), 144u);
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  test::Factories factories;
  Settings last;
  SettingsWindow dialog(factories.d2d.Get(), factories.dwrite.Get(),
                        [&](const Settings& s) { last = s; });
  dialog.Open(nullptr, Settings{});
  test::Pump();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(dialog.hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  ASSERT_LT(monitor.rcWork.bottom - monitor.rcWork.top, 990);
  const RECT& work = monitor.rcWork;
  // At creation, and again after a DPI change whose suggested place runs off the work area.
  for (const RECT suggested :
       {RECT{}, RECT{work.right - 50, work.bottom - 50, work.right + 900, work.bottom + 1400}}) {
    if (suggested.right != 0) {
      SendMessageW(dialog.hwnd(), WM_DPICHANGED, MAKEWPARAM(144, 144),
                   reinterpret_cast<LPARAM>(&suggested));
    }
    const RECT window = test::RectOf(dialog.hwnd());
    EXPECT_TRUE(window.left >= work.left && window.top >= work.top && window.right <= work.right &&
                window.bottom <= work.bottom);
    EXPECT_EQ(test::RectOf(dialog.hwnd(), true).right, 600);
  }
  const RECT client = test::RectOf(dialog.hwnd(), true);
  // Scrolled to the end, a press near the list's foot, right of the default, changes the interval.
  SendMessageW(dialog.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120 * 30)), 0);
  int hit = -1;
  for (int y = client.bottom - 4; y > 0 && hit < 0; y -= 4) {
    SendMessageW(dialog.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(500, y));
    SendMessageW(dialog.hwnd(), WM_CANCELMODE, 0, 0);
    hit = last.updateIntervalSeconds != Settings{}.updateIntervalSeconds ? y : -1;
  }
  EXPECT_GT(hit, client.bottom / 2) << "the last choice is not reachable";
}

// High contrast: the theme's colours, opaque, and a switch followed at once. Wine cannot turn
// a high-contrast theme on, so the system's answer is scripted.
// The scripted scheme's colours (0xRRGGBB).
constexpr std::uint32_t kWindow = 0x000000, kHighlight = 0x1AFFFF;

TEST(HighContrast, TheSettingsWindowFollowsASwitchAtOnce) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  test::Factories factories;
  test::ScriptedColorScheme scheme;
  const test::ScopedColorScheme scoped(scheme);
  SettingsWindow dialog(factories.d2d.Get(), factories.dwrite.Get(), nullptr);
  dialog.Open(nullptr, Settings{});
  const auto grab = [&] { return test::Canvas::Print(dialog.hwnd()); };
  test::Capture shot = grab();
  EXPECT_EQ(shot.at(2, 2), kWindow);
  EXPECT_GT(shot.count(kHighlight), 100);  // the switches that are on
  const int opaque = shot.count(kWindow);
  EXPECT_GT(opaque, shot.width() * shot.height() / 2);

  scheme.on = false;
  SendMessageW(dialog.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  shot = grab();
  EXPECT_EQ(std::pair(shot.at(2, 2) == kWindow, shot.count(kHighlight)), std::pair(false, 0));

  scheme.on = true;
  SendMessageW(dialog.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  shot = grab();
  EXPECT_EQ(std::pair(shot.at(2, 2), shot.count(kWindow)), std::pair(kWindow, opaque));
}

}  // namespace
}  // namespace lumetta
