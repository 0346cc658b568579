// gallery PNG_PATH: draws every primitive and text style in both palettes into a window and
// saves what the screen shows as a PNG, so the look can be reviewed.
#include <windows.h>

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "draw/renderer.h"
#include "png_win.h"
#include "support/factories.h"
#include "support/test_window.h"

namespace {

using lumetta::Palette;
using lumetta::Renderer;
using lumetta::TextAlign;
using lumetta::TextStyle;
using lumetta::ToD2D;

constexpr int kPanelWidth = 320;
constexpr int kHeight = 470;
// Stand-ins for the system backdrop, which Wine does not draw.
constexpr D2D1_COLOR_F kDarkBackdrop{0.13f, 0.13f, 0.14f, 1};
constexpr D2D1_COLOR_F kLightBackdrop{0.95f, 0.95f, 0.96f, 1};

void DrawPanel(Renderer& r, const Palette& p, float left) {
  r.palette = &p;
  const float right = left + kPanelWidth;
  r.FillRect({left, 0, right, kHeight}, p.dark ? kDarkBackdrop : kLightBackdrop, 0);
  r.FillRect({left + 8, 8, right - 8, kHeight - 8}, ToD2D(p.panel), 8);
  float y = 16;
  const struct {
    TextStyle style;
    const char16_t* name;
  } styles[] = {{TextStyle::Caption, u"Caption 10 / 400"},
                {TextStyle::Body, u"Body 11 / 400"},
                {TextStyle::BodyStrong, u"BodyStrong 11 / 600"},
                {TextStyle::BodyLarge, u"BodyLarge 13 / 400"},
                {TextStyle::Subtitle, u"Subtitle 16 / 600"},
                {TextStyle::Title, u"Title 20 / 600"},
                {TextStyle::TitleLarge, u"TitleLarge 24"}};
  for (const auto& s : styles) {
    const float height = lumetta::StyleFont(s.style).size * 1.6f;
    r.DrawText(s.name, s.style, {left + 20, y, right - 20, y + height}, ToD2D(p.textPrimary),
               TextAlign::Leading, false);
    y += height;
  }
  r.DrawText(u"Secondary, trailing", TextStyle::Body, {left + 20, y, right - 20, y + 18},
             ToD2D(p.textSecondary), TextAlign::Trailing, false);
  r.DrawText(u"Tertiary label, centred", TextStyle::Caption,
             {left + 20, y + 18, right - 20, y + 34}, ToD2D(p.textTertiary), TextAlign::Center,
             false);
  r.DrawText(u"A long single line that does not fit ends in an ellipsis", TextStyle::Body,
             {left + 20, y + 34, right - 20, y + 52}, ToD2D(p.textPrimary), TextAlign::Leading,
             false);
  r.DrawText(u"メモリ使用率が 90% を超えています", TextStyle::Body,
             {left + 20, y + 52, right - 20, y + 70}, ToD2D(p.textPrimary), TextAlign::Leading,
             false);
  y += 80;
  r.FillRect({left + 20, y, right - 20, y + 1}, ToD2D(p.divider), 0);
  y += 10;

  r.DrawBar({left + 20, y, right - 20, y + 6}, 0.0, ToD2D(p.accent));
  r.DrawBar({left + 20, y + 12, right - 20, y + 18}, 0.35, ToD2D(p.good));
  r.DrawBar({left + 20, y + 24, right - 20, y + 30}, 0.8, ToD2D(p.warning));
  r.DrawBar({left + 20, y + 36, right - 20, y + 42}, 1.2, ToD2D(p.critical));
  y += 54;
  const std::vector<double> cores = {0.05, 0.4, 0.9, 0.2, 0.65, 1.0, 0.0, 0.3};
  r.DrawCoreBars({left + 20, y, right - 20, y + 24}, cores, ToD2D(p.accent));
  y += 34;
  const std::vector<double> fractions = {0.42, 0.12, 0.004, 0.2};
  const D2D1_COLOR_F colors[] = {ToD2D(p.accent), ToD2D(p.accentAlt), ToD2D(p.neutral),
                                 ToD2D(p.neutral)};
  r.DrawSegmentedBar({left + 20, y, right - 20, y + 8}, fractions, colors);
  y += 18;
  std::vector<double> history;
  history.reserve(60);
  for (int i = 0; i < 60; ++i) {
    history.push_back(0.5 + 0.35 * std::sin(i / 6.0) + 0.1 * std::sin(i * 1.3));
  }
  r.DrawHistoryChart({left + 20, y, right - 20, y + 44}, history, 1.0, ToD2D(p.accent));
  y += 54;
  r.FillCircle({left + 30, y + 10}, 6, ToD2D(p.good));
  r.FillCircle({left + 48, y + 10}, 6, ToD2D(p.warning));
  r.FillCircle({left + 66, y + 10}, 6, ToD2D(p.critical));
  r.FillRect({left + 84, y, left + 124, y + 20}, ToD2D(p.hoverFill), 4);
  r.StrokeRoundedRect({left + 132, y, left + 172, y + 20}, ToD2D(p.controlFill), 4, 1);
  r.DrawGlyph(lumetta::Glyph::Settings, {left + 84, y, left + 104, y + 20}, ToD2D(p.textSecondary),
              TextStyle::Icon);
  r.DrawGlyph(lumetta::Glyph::Pinned, {left + 104, y, left + 124, y + 20}, ToD2D(p.textSecondary),
              TextStyle::IconSmall);
  HICON icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
  if (!r.DrawIcon(icon, {right - 60, y - 6, right - 28, y + 26})) {
    r.FillRect({right - 60, y - 6, right - 28, y + 26}, ToD2D(p.accent), 6);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: gallery PNG_PATH\n");
    return 2;
  }
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const lumetta::test::Factories factories;
  lumetta::test::Canvas canvas(2 * kPanelWidth, kHeight);
  Renderer renderer(factories.d2d.Get(), factories.dwrite.Get());
  renderer.PrintTo(canvas.dc(), canvas.Rect());
  if (!renderer.BeginFrame()) {
    return 1;
  }
  DrawPanel(renderer, lumetta::PaletteFor(true), 0);
  DrawPanel(renderer, lumetta::PaletteFor(false), kPanelWidth);
  renderer.EndFrame();
  const std::wstring path = lumetta::tools::WinePath(argv[1]);
  if (!lumetta::tools::SavePng(canvas.Read(), path.c_str())) {
    std::fprintf(stderr, "gallery: could not write the PNG\n");
    return 1;
  }
  return 0;
}
