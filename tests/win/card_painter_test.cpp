#include "card/card_painter.h"

#include <gtest/gtest.h>

#include "draw/renderer.h"
#include "support/factories.h"
#include "support/scripted_look.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

// The dark palette's Accent, Critical and Warning, as the screen shows them on black.
bool IsAccent(std::uint32_t pixel) {
  return (pixel & 0xFF) > 0xC0 && (pixel >> 16) < 0x40;
}
bool IsCritical(std::uint32_t pixel) {
  return (pixel >> 16) > 0xC0 && ((pixel >> 8) & 0xFF) < 0x60 && (pixel & 0xFF) < 0x60;
}

class CardPainterTest : public testing::Test {
 protected:
  void SetUp() override {
    for (const SettingsBool& entry : kSettingsBools) {
      settings_.*entry.field = false;
    }
  }
  // The card with only the sections `settings_` shows, painted into a window of its size; with
  // a palette, on its backdrop and with the pin button hovered.
  test::Capture Paint(const test::TestWindow& window, UpdateState update = UpdateState::None,
                      const Palette* palette = nullptr) {
    Renderer renderer(factories_.d2d.Get(), factories_.dwrite.Get());
    renderer.hwnd = window.hwnd();
    const SectionLayout layout = StackSections(CardSections(
        settings_, update, CardPainter::DiskAlertTextHeight(renderer, snapshot_, settings_)));
    EXPECT_TRUE(renderer.BeginFrame());
    if (palette != nullptr) {
      renderer.palette = palette;
      renderer.FillRect({0, 0, 190, 640}, ToD2D(palette->Backdrop), 0);
    }
    CardPainter().Paint(renderer, {snapshot_, settings_, layout, u"1.0.0", palette != nullptr,
                                   palette != nullptr ? HoverButton::Pin : HoverButton::None});
    renderer.EndFrame();
    return window.GrabSettled();
  }

  test::Factories factories_;
  Settings settings_;
  Snapshot snapshot_;
};

// The disk bar fills to its share of the width, in the accent colour below the threshold and
// in the critical colour past it, where the alert text takes the second line.
TEST_F(CardPainterTest, TheDiskBarShowsItsShareAndTurnsCriticalPastTheThreshold) {
  test::TestWindow window(240, 640, 190, 80);
  settings_.showDisk = true;
  snapshot_.disk = {128ull << 30, 512ull << 30, true};
  const test::Capture quarter = Paint(window);
  EXPECT_TRUE(IsAccent(quarter.at(40, 36)));  // the bar's row: 12 + 21 .. 12 + 27
  EXPECT_FALSE(IsAccent(quarter.at(80, 36)));
  EXPECT_FALSE(IsCritical(quarter.at(40, 36)));

  snapshot_.disk = {500ull << 30, 512ull << 30, true};
  const test::Capture full = Paint(window);
  EXPECT_TRUE(IsCritical(full.at(170, 36)));
  int alert = 0;
  for (int x = 12; x < 178; ++x) {
    alert += IsCritical(full.at(x, 51)) ? 1 : 0;  // the alert line, in the critical colour
  }
  EXPECT_GT(alert, 3);

  // High contrast: the theme's colours only, critical as its hot-light; the hovered pin button
  // is outlined in the highlight colour, its face the window colour.
  test::ScriptedColorScheme scheme;
  const Palette contrast = HighContrastPalette(scheme.colors);
  const test::Capture high = Paint(window, UpdateState::None, &contrast);
  EXPECT_EQ(high.at(2, 2), 0x000000u);
  EXPECT_EQ(high.at(100, 36), 0xFFFF00u);
  EXPECT_EQ(high.at(176, 14), 0x000000u);
  EXPECT_GT(high.count(0x1AFFFFu), 20);
}

}  // namespace
}  // namespace lumetta
