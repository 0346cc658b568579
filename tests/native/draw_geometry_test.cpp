#include "draw/geometry.h"
#include "support/allocations.h"

#include <gtest/gtest.h>

#include <vector>

#include "draw/fonts.h"
#include "draw/palette.h"
#include "support/allocations.h"

namespace lumetta {
namespace {

// The card's 166-DIP row: every bar keeps a width, gaps go first, the row never spills.
TEST(ComputeCoreBar, ManyProcessorsStillFitVisibly) {
  const RectF rect{12, 0, 178, 20};
  const struct {
    std::size_t count;
    float gap;
    float minWidth;
  } cases[] = {{1, 0, 166}, {8, 2, 19}, {64, 0.6f, 1.99f}, {128, 0, 1.29f}, {256, 0, 0.64f}};
  for (const auto& c : cases) {
    float previousRight = rect.left;
    for (std::size_t i = 0; i < c.count; ++i) {
      const CoreBarGeometry bar = ComputeCoreBar(rect, c.count, i, 0.5);
      EXPECT_GE(bar.track.width(), c.minWidth) << c.count << " bar " << i;
      EXPECT_LE(bar.radius * 2, bar.track.width() + 0.001f);
      EXPECT_NEAR(bar.track.left - previousRight, i == 0 ? 0 : c.gap, 0.01f) << c.count;
      EXPECT_LE(bar.track.right, rect.right);
      previousRight = bar.track.right;
    }
    EXPECT_NEAR(previousRight, rect.right, 0.01f) << c.count;
  }
  // Two bars in 5 DIPs: the gap gives way first, to 1.
  const CoreBarGeometry narrow = ComputeCoreBar({0, 0, 5, 20}, 2, 1, 0.5);
  EXPECT_EQ(narrow.track, (RectF{3, 0, 5, 20}));
  EXPECT_EQ(narrow.radius, 1.0f);  // half the bar, not the usual 1.5
}

TEST(ForEachSegment, SkipsTinyFractionsAndKeepsTwoDips) {
  const RectF rect{0, 0, 200, 8};
  const std::vector<double> fractions = {0.5, 0.005, 0.0051, 0.25, 2.0};
  using Placed = std::vector<std::pair<std::size_t, RectF>>;
  Placed segments;
  ForEachSegment(rect, fractions,
                 [&](const Segment& s) { segments.emplace_back(s.index, s.rect); });
  // 100 - 2; 0.005 took no room; the 2-DIP minimum; clipped at the right edge.
  EXPECT_EQ(segments, (Placed{{0, {0, 0, 98, 8}},
                              {2, {100, 0, 102, 8}},
                              {3, {104, 0, 152, 8}},
                              {4, {154, 0, 200, 8}}}));
}

TEST(ChartPoint, SpreadAcrossAndClamped) {
  const RectF rect{10, 100, 70, 130};
  EXPECT_EQ(ChartPoint(rect, 0, 4, 0.0, 1.0), (PointF{10, 130}));
  EXPECT_EQ(ChartPoint(rect, 1, 4, 1.0, 1.0), (PointF{30, 100}));
  EXPECT_EQ(ChartPoint(rect, 2, 4, 0.5, 2.0), (PointF{50, 122.5f}));
  EXPECT_EQ(ChartPoint(rect, 3, 4, 5.0, 1.0), (PointF{70, 100}));
  EXPECT_EQ(ChartPoint(rect, 3, 4, -1.0, 1.0), (PointF{70, 130}));
}

TEST(RendererKeys, TextFormatSlotAndGradientKey) {
  EXPECT_EQ(TextFormatSlot(TextStyle::Caption, TextAlign::Leading, false), 0);
  EXPECT_EQ(TextFormatSlot(TextStyle::Caption, TextAlign::Leading, true), 1);
  EXPECT_EQ(TextFormatSlot(TextStyle::Body, TextAlign::Trailing, false), 10);
  EXPECT_EQ(TextFormatSlot(TextStyle::IconSmall, TextAlign::Trailing, true), kTextFormatSlots - 1);

  EXPECT_EQ(GradientKey({1, 0, 0, 1}), 0xFF0000FFu);
  EXPECT_EQ(GradientKey(PaletteFor(true).accent), 0x0A84FFFFu);
  EXPECT_EQ(GradientKey({2, -1, 0.5f, 0.001f}), 0xFF008000u);  // clamped; 127.5 rounds up
}

// Windows 11 has every family; Windows 10 only Segoe UI and MDL2; a bare system neither icon font.
TEST(FontFamilies, WhatTheSystemHasDecides) {
  const auto with = [](const std::vector<std::u16string_view>& present) {
    return ChooseFontFamilies([present](std::u16string_view family) {
      return std::find(present.begin(), present.end(), family) != present.end();
    });
  };
  const FontFamilies eleven =
      with({kVariableTextFamily, kVariableDisplayFamily, kFluentIconsFamily, kMdl2IconsFamily});
  using Names = std::vector<std::u16string_view>;
  EXPECT_EQ((Names{eleven.For(FontRole::Text), eleven.For(FontRole::Display),
                   eleven.For(FontRole::Icons)}),
            (Names{kVariableTextFamily, kVariableDisplayFamily, kFluentIconsFamily}));
  const FontFamilies ten = with({kFallbackFamily, kMdl2IconsFamily});
  EXPECT_EQ((Names{ten.For(FontRole::Text), ten.For(FontRole::Display), ten.icons}),
            (Names{kFallbackFamily, kFallbackFamily, kMdl2IconsFamily}));
  const FontFamilies bare = with({kVariableDisplayFamily});
  EXPECT_EQ((Names{bare.For(FontRole::Display), bare.icons, bare.For(FontRole::Icons)}),
            (Names{kVariableDisplayFamily, u"", kFallbackFamily}));
}

// Without an icon font each glyph is drawn from shapes inside its em square.
TEST(GlyphShape, EveryGlyphStaysInItsBox) {
  const RectF box{10, 20, 30, 32};  // a 12-DIP square centred in a wider rectangle
  for (const Glyph glyph : {Glyph::Settings, Glyph::Pinned, Glyph::Unpinned, Glyph::Warning,
                            Glyph::OpenExternal, Glyph::Down, Glyph::Up}) {
    const GlyphParts parts = GlyphShape(glyph, box);
    ASSERT_FALSE(parts.empty());
    for (const ShapePart& part : parts) {
      for (const PointF p : {part.a, part.b, part.c}) {
        if (p == PointF{}) {
          continue;
        }
        EXPECT_GE(p.x - part.radius, 14.0f);
        EXPECT_LE(p.x + part.radius, 26.0f);
        EXPECT_GE(p.y - part.radius, 20.0f);
        EXPECT_LE(p.y + part.radius, 32.0f);
      }
    }
  }
  EXPECT_EQ(GlyphShape(Glyph::Down, box)[0].c, (PointF{20, 29.6f}));  // pointing down
  EXPECT_EQ(GlyphShape(Glyph::Up, box)[0].c, (PointF{20, 22.4f}));
}

// Its slots are fixed: storing a width, even a new figure each frame, allocates nothing.
TEST(TextWidthCache, The257thDistinctEntryEmptiesItFirst) {
  TextWidthCache cache;
  const std::optional<long> before = test::AllocationsSoFar();
  for (int i = 0; i < 256; ++i) {
    const char16_t text[] = {
        u'a', static_cast<char16_t>(u'a' + i), u'b', u'c', u'd', u'e', u'f', u'g', u'h'};
    cache.MakeRoom();
    cache.Store(TextStyle::Body, std::u16string_view(text, i == 0 ? 1 : 9), 1.0f);
  }
  if (before) {  // counted where the sanitizer counts
    EXPECT_EQ(*test::AllocationsSoFar() - *before, 0);
  }
  EXPECT_EQ(cache.size(), 256u);
  EXPECT_EQ(cache.find(TextStyle::Body, u"a"), 1.0f);
  EXPECT_EQ(cache.find(TextStyle::Caption, u"a"), std::nullopt);  // the style is in the key
  cache.MakeRoom();
  cache.Store(TextStyle::Caption, u"a", 2.0f);
  EXPECT_EQ(cache.size(), 1u);
  EXPECT_EQ(cache.find(TextStyle::Body, u"a"), std::nullopt);
  EXPECT_EQ(cache.find(TextStyle::Caption, u"a"), 2.0f);
  // A text longer than a slot is measured each time, never cut to a shorter one's key.
  const std::u16string longer(TextWidthCache::kMaxTextLength + 1, u'a');
  cache.Store(TextStyle::Caption, longer, 3.0f);
  EXPECT_EQ(std::pair(cache.size(), cache.find(TextStyle::Caption, longer.substr(1))),
            std::pair(std::size_t{1}, std::optional<float>()));
}

TEST(Palette, ExactColoursAndTheThemeSetting) {
  const Palette& dark = PaletteFor(true);
  const Palette& light = PaletteFor(false);
  EXPECT_TRUE(dark.dark && !light.dark);
  EXPECT_EQ(dark.textPrimary, (ColorF{1, 1, 1, 0.95f}));
  EXPECT_EQ(light.chartBackground, (ColorF{0, 0, 0, 0.045f}));
  EXPECT_EQ(light.panel, (ColorF{1, 1, 1, 0.70f}));
  EXPECT_EQ(dark.critical, (ColorF{1, 69 / 255.0f, 58 / 255.0f, 1}));
  EXPECT_EQ(light.good, (ColorF{30 / 255.0f, 160 / 255.0f, 70 / 255.0f, 1}));

  using Flags = std::vector<bool>;
  EXPECT_EQ((Flags{DarkFromSetting(std::nullopt), DarkFromSetting(0), DarkFromSetting(1),
                   DarkFromSetting(2)}),
            (Flags{true, true, false, false}));
  // 0x43 is SPI_SETHIGHCONTRAST.
  EXPECT_EQ((Flags{IsThemeChangeNotice(0, u"ImmersiveColorSet"),
                   IsThemeChangeNotice(0, u"immersivecolorset"),
                   IsThemeChangeNotice(0, u"ImmersiveColorSetX"),
                   IsThemeChangeNotice(0, u"Immersive"), IsThemeChangeNotice(0, nullptr),
                   IsThemeChangeNotice(0x43, nullptr), IsThemeChangeNotice(0x42, nullptr)}),
            (Flags{true, false, false, false, false, true, false}));
}

// "High Contrast Black" and "White": only the theme's colours, opaque, dark by the window.
TEST(Palette, HighContrastTakesEveryColourFromTheSystem) {
  const Palette black = HighContrastPalette(
      {0x000000, 0xFFFFFF, 0xFFFF1A /* cyan-ish highlight */, 0x000000, 0x00FFFF, 0x00FF3F});
  EXPECT_TRUE(black.highContrast && black.dark);
  EXPECT_EQ(black.backdrop, (ColorF{0, 0, 0, 1}));
  EXPECT_EQ(black.textPrimary, (ColorF{1, 1, 1, 1}));
  EXPECT_EQ(black.textTertiary, black.textPrimary);         // no faded text
  EXPECT_EQ(black.accent, (ColorF{26 / 255.0f, 1, 1, 1}));  // 0x00BBGGRR
  EXPECT_EQ(black.critical, (ColorF{1, 1, 0, 1}));
  EXPECT_EQ(black.onAccent, (ColorF{0, 0, 0, 1}));
  EXPECT_EQ(DisabledColor(black, black.textPrimary), (ColorF{63 / 255.0f, 1, 0, 1}));
  EXPECT_EQ(black.hoverFill.a, 0.0f);
  for (const ColorF& color : {black.panel, black.knob, black.buttonFace, black.chartBackground}) {
    EXPECT_EQ(color, black.backdrop);
  }
  const Palette white =
      HighContrastPalette({0xFFFFFF, 0x000000, 0x37006E, 0xFFFFFF, 0x9F0000, 0x600000});
  EXPECT_FALSE(white.dark);
  EXPECT_EQ(DisabledColor(PaletteFor(true), PaletteFor(true).textPrimary),
            (ColorF{1, 1, 1, 0.95f * 0.4f}));  // faded outside high contrast
}

}  // namespace
}  // namespace lumetta
