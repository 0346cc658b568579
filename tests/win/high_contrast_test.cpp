// High contrast: every pixel in the theme's colours, opaque, and a switch followed at once.
// Wine cannot turn a high-contrast theme on, so the system's answer is scripted.
#include <gtest/gtest.h>

#include "card/card_painter.h"
#include "dialogs/settings_window.h"
#include "draw/renderer.h"
#include "support/factories.h"
#include "support/scripted_look.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

// The scripted scheme's colours as the screen shows them (0xRRGGBB).
constexpr std::uint32_t kWindow = 0x000000, kHighlight = 0x1AFFFF, kHotLight = 0xFFFF00;

int Count(const test::Capture& shot, std::uint32_t color) {
  int count = 0;
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) {
      count += shot.at(x, y) == color ? 1 : 0;
    }
  }
  return count;
}

TEST(HighContrast, TheCardDrawsInTheThemesColours) {
  test::Factories factories;
  test::ScriptedColorScheme scheme;
  const Palette palette = HighContrastPalette(scheme.colors);
  test::TestWindow window(40, 640, 190, 120);
  Settings settings;
  for (const SettingsBool& entry : kSettingsBools) {
    settings.*entry.field = false;
  }
  settings.showDisk = true;
  Snapshot snapshot;
  snapshot.disk = {500ull << 30, 512ull << 30, true};  // past the threshold: the alert's colour
  Renderer renderer(factories.d2d.Get(), factories.dwrite.Get());
  renderer.hwnd = window.hwnd();
  renderer.palette = &palette;
  const SectionLayout layout = StackSections(CardSections(
      settings, UpdateState::None, CardPainter::DiskAlertTextHeight(renderer, snapshot, settings)));
  ASSERT_TRUE(renderer.BeginFrame());
  renderer.FillRect({0, 0, 190, 120}, ToD2D(palette.Backdrop), 0);
  CardPainter().Paint(renderer, {snapshot, settings, layout, u"", true, HoverButton::Pin});
  renderer.EndFrame();
  const test::Capture shot = window.GrabSettled();
  EXPECT_EQ(shot.at(2, 2), kWindow);
  EXPECT_EQ(shot.at(100, 36), kHotLight);  // the full disk bar: critical is the hot-light
  // The hovered pin button is outlined in the highlight colour, not tinted.
  EXPECT_GT(Count(shot, kHighlight), 20);
  EXPECT_EQ(shot.at(176, 14), kWindow);  // inside the button, its face is the window colour
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
