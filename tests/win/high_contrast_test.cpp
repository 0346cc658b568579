// High contrast in the Settings window: the theme's colours, opaque, and a switch followed at
// once. Wine cannot turn a high-contrast theme on, so the system's answer is scripted.
#include <gtest/gtest.h>

#include "dialogs/settings_window.h"
#include "support/factories.h"
#include "support/scripted_look.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

// The scripted scheme's colours as the screen shows them (0xRRGGBB).
constexpr std::uint32_t kWindow = 0x000000, kHighlight = 0x1AFFFF;

int Count(const test::Capture& shot, std::uint32_t color) {
  int count = 0;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      count += shot.at(x, y) == color ? 1 : 0;
    }
  }
  return count;
}

TEST(HighContrast, TheSettingsWindowFollowsASwitchAtOnce) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  test::Factories factories;
  test::ScriptedColorScheme scheme;
  const test::ScopedColorScheme scoped(scheme);
  SettingsWindow dialog(factories.d2d.Get(), factories.dwrite.Get(), nullptr);
  dialog.Open(nullptr, Settings{});
  const auto grab = [&] {
    test::TestWindow::PumpFor();
    return test::GrabSettled(dialog.hwnd());
  };
  test::Capture shot = grab();
  EXPECT_EQ(shot.at(2, 2), kWindow);
  EXPECT_GT(Count(shot, kHighlight), 100);  // the switches that are on
  const int opaque = Count(shot, kWindow);
  EXPECT_GT(opaque, shot.width() * shot.height() / 2);

  scheme.on = false;
  SendMessageW(dialog.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  shot = grab();
  EXPECT_NE(shot.at(2, 2), kWindow);
  EXPECT_EQ(Count(shot, kHighlight), 0);

  scheme.on = true;
  SendMessageW(dialog.hwnd(), WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
  shot = grab();
  EXPECT_EQ(shot.at(2, 2), kWindow);
  EXPECT_EQ(Count(shot, kWindow), opaque);
}

}  // namespace
}  // namespace lumetta
