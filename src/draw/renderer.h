// The per-window Direct2D/DirectWrite drawing layer: one render target at the window's DPI
// times a scale, one recoloured brush, the nine text styles and the drawing primitives.
// Coordinates are DIPs.
#pragma once

#include <windows.h>

#include <d2d1.h>
#include <dwrite.h>
#include <wrl/client.h>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string_view>

#include "app/log.h"
#include "draw/fonts.h"
#include "draw/geometry.h"
#include "draw/palette.h"

namespace lumetta {

[[nodiscard]] inline D2D1_COLOR_F ToD2D(const ColorF& color) {
  return {color.r, color.g, color.b, color.a};
}
[[nodiscard]] inline D2D1_RECT_F ToD2D(const RectF& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}
[[nodiscard]] inline RectF FromD2D(const D2D1_RECT_F& rect) {
  return {rect.left, rect.top, rect.right, rect.bottom};
}

class Renderer {
 public:
  // How often device resources and text formats were created, for tests of device loss.
  struct Stats {
    int targets = 0;
    int brushes = 0;
    int gradientBrushes = 0;
    int iconBitmaps = 0;
    int textFormats = 0;
  };

  // Whether the system has a font family; tests pass their own to play another system.
  using FamilyLookup = std::function<bool(std::u16string_view family)>;

  Renderer(ID2D1Factory* factory, IDWriteFactory* writeFactory, FamilyLookup installed = {});
  ~Renderer();
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  HWND hwnd = nullptr;
  const Palette* palette;
  float scale = 1.0f;  // multiplies the window DPI

  [[nodiscard]] bool BeginFrame();
  // D2DERR_RECREATE_TARGET drops the device resources for the next frame to rebuild; any
  // other failure is logged once per code.
  HRESULT EndFrame();
  [[nodiscard]] HRESULT EnsureTarget();
  void Resize(std::uint16_t widthPixels, std::uint16_t heightPixels);
  void DiscardDeviceResources();
  // The frames that follow draw into `dc` over `rect` (WM_PRINTCLIENT, an offscreen bitmap)
  // instead of into the window; a null `dc` goes back to the window. Device resources belong
  // to one target, so each switch drops them.
  void PrintTo(HDC dc, const RECT& rect);

  void FillRect(const D2D1_RECT_F& rect, const D2D1_COLOR_F& color, float radius);
  void FillCircle(D2D1_POINT_2F centre, float radius, const D2D1_COLOR_F& color);
  void StrokeRoundedRect(const D2D1_RECT_F& rect, const D2D1_COLOR_F& color, float radius,
                         float strokeWidth);
  void DrawBar(const D2D1_RECT_F& rect, double value, const D2D1_COLOR_F& color);
  void DrawCoreBars(const D2D1_RECT_F& rect, std::span<const double> values,
                    const D2D1_COLOR_F& color);
  void DrawSegmentedBar(const D2D1_RECT_F& rect, std::span<const double> fractions,
                        std::span<const D2D1_COLOR_F> colors);
  void DrawHistoryChart(const D2D1_RECT_F& rect, std::span<const double> values, double maxValue,
                        const D2D1_COLOR_F& color);
  // windows.h names this DrawTextW; the name is used consistently through the header.
  void DrawText(std::u16string_view text, TextStyle style, const D2D1_RECT_F& rect,
                const D2D1_COLOR_F& color, TextAlign align, bool wrap);
  // The icon font's glyph centred in `rect`; plain shapes where the system has no icon font.
  void DrawGlyph(Glyph glyph, const D2D1_RECT_F& rect, const D2D1_COLOR_F& color, TextStyle style);
  [[nodiscard]] bool DrawIcon(HICON icon, const D2D1_RECT_F& rect);

  [[nodiscard]] float MeasureTextWidth(std::u16string_view text, TextStyle style);
  [[nodiscard]] float MeasureTextHeight(std::u16string_view text, TextStyle style, float maxWidth);
  [[nodiscard]] IDWriteTextFormat* TextFormat(TextStyle style, TextAlign align, bool wrap);
  // The families this renderer draws in, looked up once.
  [[nodiscard]] const FontFamilies& families();
  // The system font collection's answer; a family is taken as present when it cannot be asked.
  [[nodiscard]] static bool SystemHasFamily(IDWriteFactory* factory, std::u16string_view family);

  [[nodiscard]] const Stats& stats() const { return stats_; }
  // Test seam: the next EndFrame reports D2DERR_RECREATE_TARGET as a lost device would.
  void SimulateDeviceLossOnNextEndFrame() { simulateDeviceLoss_ = true; }

 private:
  ID2D1LinearGradientBrush* GradientBrush(const D2D1_COLOR_F& color);
  void Recolor(const D2D1_COLOR_F& color);
  void FillShape(const D2D1_RECT_F& rect, float radius);
  void DrawShape(const ShapePart& part, const D2D1_COLOR_F& color);

  ID2D1Factory* factory_;
  IDWriteFactory* writeFactory_;
  FamilyLookup installed_;
  std::optional<FontFamilies> families_;
  Microsoft::WRL::ComPtr<ID2D1RenderTarget> target_;
  Microsoft::WRL::ComPtr<ID2D1HwndRenderTarget> windowTarget_;  // target_ while drawing the window
  HDC printDc_ = nullptr;
  RECT printRect_{};
  Microsoft::WRL::ComPtr<ID2D1SolidColorBrush> brush_;
  Microsoft::WRL::ComPtr<ID2D1StrokeStyle> dashStyle_;
  Microsoft::WRL::ComPtr<ID2D1Bitmap> iconBitmap_;
  std::map<std::uint32_t, Microsoft::WRL::ComPtr<ID2D1LinearGradientBrush>> gradientBrushes_;
  TextWidthCache textWidths_;
  HICON iconHandle_ = nullptr;
  std::array<Microsoft::WRL::ComPtr<IDWriteTextFormat>, kTextFormatSlots> textFormats_;
  Stats stats_;
  FailureLatch targetLatch_;
  FailureLatch frameLatch_;
  bool simulateDeviceLoss_ = false;
};

}  // namespace lumetta
