#include "draw/renderer.h"

#include <gtest/gtest.h>

#include <vector>

#include "card/card_painter.h"
#include "support/factories.h"
#include "support/logging_test.h"
#include "support/scripted_look.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

using Microsoft::WRL::ComPtr;
using test::Canvas;

constexpr D2D1_COLOR_F kRed{1, 0, 0, 1};
constexpr D2D1_COLOR_F kWhite{1, 1, 1, 1};

int Brightness(std::uint32_t pixel) {
  return static_cast<int>((pixel >> 16) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF));
}

class RendererTest : public test::LoggingTest {
 protected:
  void SetUp() override {
    LoggingTest::SetUp();
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(d2d_ && dwrite_);
  }
  // Draws one frame of `draw` into the canvas the renderer was given and returns its pixels.
  template <typename Draw>
  test::Capture Frame(Renderer& renderer, Canvas& canvas, Draw&& draw) {
    canvas.Clear();
    EXPECT_TRUE(renderer.BeginFrame());
    draw();
    renderer.EndFrame();
    return canvas.Read();
  }

  test::Factories factories_;
  ID2D1Factory* d2d_ = factories_.d2d.Get();
  ComPtr<IDWriteFactory> dwrite_ = factories_.dwrite;
};

// Windows 11's icon font, Windows 10's, or none at all: each shows its own glyphs, never the box
// of a missing one. The prefix has stand-ins for both fonts, built from different shapes.
TEST_F(RendererTest, IconsComeFromTheInstalledIconFontOrFromShapes) {
  Canvas canvas(80, 24);
  int lookups = 0;
  const auto without = [&](const std::vector<std::u16string_view>& hidden) {
    return [&, hidden](std::u16string_view family) {
      ++lookups;
      return std::find(hidden.begin(), hidden.end(), family) == hidden.end() &&
             Renderer::SystemHasFamily(dwrite_.Get(), family);
    };
  };
  const auto shoot = [&](Renderer& renderer, bool missing) {
    return Frame(renderer, canvas, [&] {
      float x = 0;
      for (const Glyph glyph : {Glyph::Settings, Glyph::Warning, Glyph::Down}) {
        const D2D1_RECT_F box{x, 0, x + 24, 24};
        if (missing) {  // what a code point the font lacks looks like
          renderer.DrawText(u"\uE000", TextStyle::Icon, box, kWhite, TextAlign::Center, false);
        } else {
          renderer.DrawGlyph(glyph, box, kWhite, TextStyle::Icon);
        }
        x += 26;
      }
    });
  };
  Renderer fluent(d2d_, dwrite_.Get());
  Renderer mdl2(d2d_, dwrite_.Get(), without({kFluentIconsFamily}));
  Renderer bare(d2d_, dwrite_.Get(), without({kFluentIconsFamily, kMdl2IconsFamily}));
  for (Renderer* renderer : {&fluent, &mdl2, &bare}) {
    renderer->PrintTo(canvas.dc(), canvas.Rect());
  }
  EXPECT_EQ(
      (std::vector{fluent.families().icons, mdl2.families().icons, bare.families().icons,
                   fluent.families().text}),  // Wine has no Segoe UI Variable
      (std::vector{kFluentIconsFamily, kMdl2IconsFamily, std::u16string_view{}, kFallbackFamily}));

  const test::Capture box = shoot(fluent, true);
  const int looked = lookups;
  const test::Capture eleven = shoot(fluent, false);
  const test::Capture ten = shoot(mdl2, false);
  const test::Capture shapes = shoot(bare, false);
  for (const test::Capture* shot : {&eleven, &ten, &shapes}) {
    EXPECT_FALSE(shot->Uniform());
    EXPECT_NE(*shot, box);
  }
  EXPECT_NE(ten, eleven);
  EXPECT_EQ(lookups, looked);  // each renderer asks once, however much it draws
  // The shape of "down": a filled triangle, point at the bottom.
  EXPECT_TRUE(Brightness(shapes.at(52 + 12, 12)) > 600 &&
              Brightness(shapes.at(52 + 12, 19)) < 200 && Brightness(shapes.at(52 + 7, 9)) < 200);
}

// Painting retries every frame: a target that cannot be made (Direct2D refuses a negative DPI) is
// logged once, and its end once. A lost device rebuilds the device's resources at the next frame.
// A chart draws inside its box only.
TEST_F(RendererTest, TargetFailuresAreLatchedAndDeviceLossRebuildsDeviceResourcesOnly) {
  Canvas canvas(120, 60);
  Renderer renderer(d2d_, dwrite_.Get());
  renderer.PrintTo(canvas.dc(), canvas.Rect());
  renderer.scale = -1;
  for (int frame = 0; frame < 3; ++frame) {
    EXPECT_FALSE(renderer.BeginFrame());
  }
  renderer.scale = 1;
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
  ASSERT_NE(icon, nullptr);
  // A chart like the network's, short and dense: its sharp joins reach far past the box.
  std::vector<double> values(45, 0.0);
  for (std::size_t i = 1; i < values.size(); i += 2) {
    values[i] = 1;
  }
  bool drewIcon = false;
  const auto draw = [&] {
    renderer.DrawHistoryChart({10, 20, 70, 34}, values, 1.0, kRed);
    renderer.DrawText(u"Lumetta", TextStyle::Caption, {0, 0, 60, 10}, kWhite, TextAlign::Leading,
                      false);
    drewIcon = renderer.DrawIcon(icon, {80, 10, 112, 42});
  };
  const auto counts = [&] {
    const Renderer::Stats stats = renderer.stats();
    return std::vector<int>{stats.targets, stats.brushes, stats.gradientBrushes, stats.iconBitmaps,
                            stats.textFormats};
  };
  const auto steady = Frame(renderer, canvas, draw);
  EXPECT_TRUE(drewIcon);
  int outside = 0;  // around the chart's box, left of the icon and below the text
  for (int y = 11; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) {
      const bool box = x >= 9 && x <= 70 && y >= 19 && y <= 34;
      outside += !box && Brightness(steady.at(x, y)) > 0 ? 1 : 0;
    }
  }
  EXPECT_EQ(outside, 0) << "the chart drew outside its box";
  const std::vector<int> first = counts();
  Frame(renderer, canvas, draw);  // a steady frame creates nothing
  EXPECT_EQ(counts(), first);
  const std::vector<std::string> events = Events("render");
  ASSERT_EQ(events.size(), 2u);
  EXPECT_TRUE(events[0].starts_with("ERROR render target_failed code=0x8")) << events[0];
  EXPECT_EQ(events[1], "INFO  render recovered");

  renderer.SimulateDeviceLossOnNextEndFrame();
  Frame(renderer, canvas, draw);
  const auto shot = Frame(renderer, canvas, draw);
  // Every device resource once more; text formats are not the device's.
  const std::vector<int> again = counts();
  for (std::size_t i = 0; i + 1 < again.size(); ++i) {
    EXPECT_GT(first[i], 0) << i;
    EXPECT_EQ(again[i], 2 * first[i]) << i;
  }
  EXPECT_EQ(again.back(), first.back());
  EXPECT_TRUE(drewIcon);
  int lit = 0;
  for (int x = 80; x < 112; ++x) {
    lit += Brightness(shot.at(x, 26)) > 0 ? 1 : 0;
  }
  EXPECT_GT(lit, 10) << "the icon was not drawn after the device came back";
  EXPECT_EQ(Events("render").size(), 2u);  // an expected loss is not a failure
  DestroyIcon(icon);
}

// The dark palette's Accent and Critical, as they show on black.
bool IsAccent(std::uint32_t pixel) {
  return (pixel & 0xFF) > 0xC0 && (pixel >> 16) < 0x40;
}
bool IsCritical(std::uint32_t pixel) {
  return (pixel >> 16) > 0xC0 && ((pixel >> 8) & 0xFF) < 0x60 && (pixel & 0xFF) < 0x60;
}

// The card with only its disk section, painted into a bitmap of its width; with a palette, on
// its backdrop and with the pin button hovered.
class CardPainterTest : public RendererTest {
 protected:
  test::Capture Paint(const Palette* palette = nullptr) {
    Renderer renderer(d2d_, dwrite_.Get());
    renderer.PrintTo(canvas_.dc(), canvas_.Rect());
    Settings settings;
    for (const SettingsBool& entry : kSettingsBools) {
      settings.*entry.field = entry.field == &Settings::showDisk;
    }
    CardView view;
    BuildCardView({.snapshot = snapshot_, .settings = settings}, CardWords(ProgramTexts()), view);
    const SectionLayout layout = StackSections(CardSections(
        settings, UpdateState::None, CardPainter::DiskAlertTextHeight(renderer, view)));
    return Frame(renderer, canvas_, [&] {
      if (palette != nullptr) {
        renderer.palette = palette;
        renderer.FillRect({0, 0, 190, 640}, ToD2D(palette->backdrop), 0);
      }
      CardPainter().Paint(renderer, {view, snapshot_, layout, palette != nullptr,
                                     palette != nullptr ? HoverButton::Pin : HoverButton::None});
    });
  }

  Snapshot snapshot_;
  Canvas canvas_{190, 80};
};

// The disk bar fills to its share of the width, in the accent colour below the threshold and
// in the critical colour past it, where the alert text takes the second line.
TEST_F(CardPainterTest, TheDiskBarShowsItsShareAndTurnsCriticalPastTheThreshold) {
  snapshot_.disk = {128ull << 30, 512ull << 30, true};
  const test::Capture quarter = Paint();
  EXPECT_EQ(std::tuple(IsAccent(quarter.at(40, 36)), IsAccent(quarter.at(80, 36)),
                       IsCritical(quarter.at(40, 36))),  // the bar's row: 12 + 21 .. 12 + 27
            std::tuple(true, false, false));

  snapshot_.disk = {500ull << 30, 512ull << 30, true};
  const test::Capture full = Paint();
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
  const test::Capture high = Paint(&contrast);
  EXPECT_EQ((std::vector{high.at(2, 2), high.at(100, 36), high.at(176, 14)}),
            (std::vector{0x000000u, 0xFFFF00u, 0x000000u}));
  EXPECT_GT(high.count(0x1AFFFFu), 20);
}

}  // namespace
}  // namespace lumetta
