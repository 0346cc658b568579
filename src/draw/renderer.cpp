#include "draw/renderer.h"

#include <wincodec.h>

#include <algorithm>
#include <string>

#include "app/log.h"
#include "app/strings.h"
#include "base/wide.h"
#include "base/win_error.h"

using Microsoft::WRL::ComPtr;

namespace lumetta {
namespace {

constexpr float kDashes[] = {2.0f, 3.0f};
constexpr float kChartRadius = 3.0f;
constexpr float kChartLineWidth = 1.5f;
constexpr float kMeasureMaxWidth = 10000.0f;
constexpr float kMeasureMaxHeight = 1000.0f;
constexpr float kCoreTrackAlpha = 0.8f;
// MinGW defines it as an unsigned literal.
constexpr HRESULT kRecreateTarget = static_cast<HRESULT>(D2DERR_RECREATE_TARGET);

DWRITE_TEXT_ALIGNMENT ToDWrite(TextAlign align) {
  switch (align) {
    case TextAlign::Center:
      return DWRITE_TEXT_ALIGNMENT_CENTER;
    case TextAlign::Trailing:
      return DWRITE_TEXT_ALIGNMENT_TRAILING;
    case TextAlign::Leading:
      break;
  }
  return DWRITE_TEXT_ALIGNMENT_LEADING;
}

const wchar_t* Wide(std::u16string_view text) {
  return AsWide(text.data());
}
UINT32 Length(std::u16string_view text) {
  return static_cast<UINT32>(text.size());
}

}  // namespace

Renderer::Renderer(ID2D1Factory* factory, IDWriteFactory* writeFactory, FamilyLookup installed)
    : palette(&PaletteFor(true)),
      factory_(factory),
      writeFactory_(writeFactory),
      installed_(std::move(installed)) {}

bool Renderer::SystemHasFamily(IDWriteFactory* factory, std::u16string_view family) {
  ComPtr<IDWriteFontCollection> fonts;
  UINT32 index = 0;
  BOOL exists = TRUE;
  const std::u16string name(family);
  if (FAILED(factory->GetSystemFontCollection(&fonts, FALSE)) ||
      FAILED(fonts->FindFamilyName(AsWide(name.c_str()), &index, &exists))) {
    return true;
  }
  return exists != FALSE;
}

const FontFamilies& Renderer::families() {
  if (!families_) {
    families_ = ChooseFontFamilies([this](std::u16string_view family) {
      return installed_ ? installed_(family) : SystemHasFamily(writeFactory_, family);
    });
  }
  return *families_;
}

Renderer::~Renderer() {
  // Everything else first; the target they were made on goes last.
  gradientBrushes_.clear();
  iconBitmap_.Reset();
  brush_.Reset();
  dashStyle_.Reset();
  for (auto& format : textFormats_) {
    format.Reset();
  }
  target_.Reset();
  windowTarget_.Reset();
}

HRESULT Renderer::EnsureTarget() {
  if (target_) {
    return S_OK;
  }
  const float dpi =
      static_cast<float>(hwnd != nullptr ? GetDpiForWindow(hwnd) : USER_DEFAULT_SCREEN_DPI) * scale;
  const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
      D2D1_RENDER_TARGET_TYPE_DEFAULT,
      D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED), dpi, dpi,
      D2D1_RENDER_TARGET_USAGE_NONE, D2D1_FEATURE_LEVEL_DEFAULT);
  HRESULT result = S_OK;
  if (printDc_ != nullptr) {
    ComPtr<ID2D1DCRenderTarget> dcTarget;
    result = factory_->CreateDCRenderTarget(&properties, &dcTarget);
    if (SUCCEEDED(result)) {
      result = dcTarget->BindDC(printDc_, &printRect_);
    }
    target_ = dcTarget;
  } else {
    RECT client{};
    if (!GetClientRect(hwnd, &client)) {
      return HResultFromLastError();
    }
    // Never smaller than one pixel: a window of no size still gets a target.
    const D2D1_SIZE_U size =
        D2D1::SizeU(static_cast<UINT32>(std::max<LONG>(1, client.right - client.left)),
                    static_cast<UINT32>(std::max<LONG>(1, client.bottom - client.top)));
    result = factory_->CreateHwndRenderTarget(
        properties, D2D1::HwndRenderTargetProperties(hwnd, size, D2D1_PRESENT_OPTIONS_NONE),
        windowTarget_.ReleaseAndGetAddressOf());
    target_ = windowTarget_;
  }
  if (SUCCEEDED(result)) {
    ++stats_.targets;
    result =
        target_->CreateSolidColorBrush(D2D1::ColorF(1, 1, 1, 1), brush_.ReleaseAndGetAddressOf());
  }
  if (SUCCEEDED(result)) {
    ++stats_.brushes;
    if (!dashStyle_) {
      const D2D1_STROKE_STYLE_PROPERTIES dash =
          D2D1::StrokeStyleProperties(D2D1_CAP_STYLE_FLAT, D2D1_CAP_STYLE_FLAT, D2D1_CAP_STYLE_FLAT,
                                      D2D1_LINE_JOIN_MITER, 10.0f, D2D1_DASH_STYLE_CUSTOM, 0.0f);
      result = factory_->CreateStrokeStyle(dash, kDashes, 2, dashStyle_.ReleaseAndGetAddressOf());
    }
  }
  if (FAILED(result)) {
    // Painting retries every frame: one line per distinct failure, not one per frame.
    ReportFailure(targetLatch_, "render", "target_failed", static_cast<std::uint32_t>(result),
                  kError);
    DiscardDeviceResources();
  } else if (TakeRecovered(targetLatch_)) {
    LogEvent(kInfo, "render", "recovered");
  }
  return result;
}

bool Renderer::BeginFrame() {
  if (FAILED(EnsureTarget())) {
    return false;
  }
  target_->BeginDraw();
  // Transparent wherever nothing is drawn, so the window's backdrop shows through.
  target_->Clear(D2D1::ColorF(0, 0, 0, 0));
  return true;
}

HRESULT Renderer::EndFrame() {
  if (!target_) {
    return S_OK;
  }
  HRESULT result = target_->EndDraw();
  if (simulateDeviceLoss_) {
    simulateDeviceLoss_ = false;
    result = kRecreateTarget;
  }
  if (result == kRecreateTarget) {
    DiscardDeviceResources();  // expected: the next frame builds everything again
  } else if (FAILED(result)) {
    ReportFailure(frameLatch_, "render", "frame_failed", static_cast<std::uint32_t>(result),
                  kError);
  } else if (TakeRecovered(frameLatch_)) {
    LogEvent(kInfo, "render", "recovered");
  }
  return result;
}

void Renderer::Resize(std::uint16_t widthPixels, std::uint16_t heightPixels) {
  if (windowTarget_ && FAILED(windowTarget_->Resize(D2D1::SizeU(widthPixels, heightPixels)))) {
    DiscardDeviceResources();
  }
}

void Renderer::PrintTo(HDC dc, const RECT& rect) {
  DiscardDeviceResources();
  printDc_ = dc;
  printRect_ = rect;
}

void Renderer::DiscardDeviceResources() {
  gradientBrushes_.clear();
  iconBitmap_.Reset();
  iconHandle_ = nullptr;
  brush_.Reset();
  target_.Reset();
  windowTarget_.Reset();
}

void Renderer::Recolor(const D2D1_COLOR_F& color) {
  brush_->SetColor(color);
}

void Renderer::FillShape(const D2D1_RECT_F& rect, float radius) {
  if (radius > 0) {
    target_->FillRoundedRectangle(D2D1::RoundedRect(rect, radius, radius), brush_.Get());
  } else {
    target_->FillRectangle(rect, brush_.Get());
  }
}

void Renderer::FillRect(const D2D1_RECT_F& rect, const D2D1_COLOR_F& color, float radius) {
  Recolor(color);
  FillShape(rect, radius);
}

void Renderer::FillCircle(D2D1_POINT_2F centre, float radius, const D2D1_COLOR_F& color) {
  Recolor(color);
  target_->FillEllipse(D2D1::Ellipse(centre, radius, radius), brush_.Get());
}

void Renderer::StrokeRoundedRect(const D2D1_RECT_F& rect, const D2D1_COLOR_F& color, float radius,
                                 float strokeWidth) {
  Recolor(color);
  const float inset = strokeWidth / 2;
  const D2D1_RECT_F inner{rect.left + inset, rect.top + inset, rect.right - inset,
                          rect.bottom - inset};
  target_->DrawRoundedRectangle(D2D1::RoundedRect(inner, radius, radius), brush_.Get(),
                                strokeWidth);
}

void Renderer::DrawBar(const D2D1_RECT_F& rect, double value, const D2D1_COLOR_F& color) {
  const BarGeometry bar = ComputeBar(FromD2D(rect), value);
  FillRect(ToD2D(bar.track), ToD2D(palette->track), bar.radius);
  FillRect(ToD2D(bar.fill), color, bar.radius);
}

void Renderer::DrawCoreBars(const D2D1_RECT_F& rect, std::span<const double> values,
                            const D2D1_COLOR_F& color) {
  ColorF track = palette->track;
  track.a *= kCoreTrackAlpha;
  for (std::size_t i = 0; i < values.size(); ++i) {
    const CoreBarGeometry bar = ComputeCoreBar(FromD2D(rect), values.size(), i, values[i]);
    FillRect(ToD2D(bar.track), ToD2D(track), bar.radius);
    FillRect(ToD2D(bar.fill), color, bar.radius);
  }
}

void Renderer::DrawSegmentedBar(const D2D1_RECT_F& rect, std::span<const double> fractions,
                                std::span<const D2D1_COLOR_F> colors) {
  const float radius = (rect.bottom - rect.top) / 2;
  FillRect(rect, ToD2D(palette->track), radius);
  ForEachSegment(FromD2D(rect), fractions, [&](const Segment& segment) {
    if (segment.index < colors.size()) {
      FillRect(ToD2D(segment.rect), colors[segment.index], radius);
    }
  });
}

ID2D1LinearGradientBrush* Renderer::GradientBrush(const D2D1_COLOR_F& color) {
  const std::uint32_t key = GradientKey({color.r, color.g, color.b, color.a});
  if (const auto found = gradientBrushes_.find(key); found != gradientBrushes_.end()) {
    return found->second.Get();
  }
  const D2D1_GRADIENT_STOP stops[] = {
      {0.0f, D2D1::ColorF(color.r, color.g, color.b, color.a * 0.3f)},
      {1.0f, D2D1::ColorF(color.r, color.g, color.b, color.a * 0.02f)},
  };
  ComPtr<ID2D1GradientStopCollection> collection;
  ComPtr<ID2D1LinearGradientBrush> brush;
  if (FAILED(target_->CreateGradientStopCollection(stops, 2, D2D1_GAMMA_2_2, D2D1_EXTEND_MODE_CLAMP,
                                                   &collection)) ||
      FAILED(target_->CreateLinearGradientBrush(
          D2D1::LinearGradientBrushProperties(D2D1::Point2F(0, 0), D2D1::Point2F(0, 1)),
          collection.Get(), &brush))) {
    return nullptr;
  }
  ++stats_.gradientBrushes;
  return gradientBrushes_.emplace(key, std::move(brush)).first->second.Get();
}

void Renderer::DrawHistoryChart(const D2D1_RECT_F& rect, std::span<const double> values,
                                double maxValue, const D2D1_COLOR_F& color) {
  FillRect(rect, ToD2D(palette->chartBackground), kChartRadius);
  const float middle = rect.top + (rect.bottom - rect.top) / 2;
  Recolor(ToD2D(palette->track));
  target_->DrawLine(D2D1::Point2F(rect.left, middle), D2D1::Point2F(rect.right, middle),
                    brush_.Get(), 1.0f, dashStyle_.Get());
  if (values.size() < 2 || !(maxValue > 0)) {
    return;
  }
  const RectF area = FromD2D(rect);
  const auto point = [&](std::size_t i) {
    const PointF p = ChartPoint(area, i, values.size(), values[i], maxValue);
    return D2D1::Point2F(p.x, p.y);
  };
  ComPtr<ID2D1PathGeometry> fill;
  ComPtr<ID2D1PathGeometry> line;
  ComPtr<ID2D1GeometrySink> sink;
  if (FAILED(factory_->CreatePathGeometry(&fill)) || FAILED(fill->Open(&sink))) {
    return;
  }
  sink->BeginFigure(D2D1::Point2F(point(0).x, rect.bottom), D2D1_FIGURE_BEGIN_FILLED);
  for (std::size_t i = 0; i < values.size(); ++i) {
    sink->AddLine(point(i));
  }
  sink->AddLine(D2D1::Point2F(point(values.size() - 1).x, rect.bottom));
  sink->EndFigure(D2D1_FIGURE_END_CLOSED);
  if (FAILED(sink->Close())) {
    return;
  }
  sink.Reset();
  if (FAILED(factory_->CreatePathGeometry(&line)) || FAILED(line->Open(&sink))) {
    return;
  }
  sink->BeginFigure(point(0), D2D1_FIGURE_BEGIN_HOLLOW);
  for (std::size_t i = 1; i < values.size(); ++i) {
    sink->AddLine(point(i));
  }
  sink->EndFigure(D2D1_FIGURE_END_OPEN);
  if (FAILED(sink->Close())) {
    return;
  }
  // A sharp turn's join (a miter, under Wine one far longer) reaches past the box.
  target_->PushAxisAlignedClip(rect, D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
  if (ID2D1LinearGradientBrush* gradient = GradientBrush(color)) {
    gradient->SetStartPoint(D2D1::Point2F(rect.left, rect.top));
    gradient->SetEndPoint(D2D1::Point2F(rect.left, rect.bottom));
    target_->FillGeometry(fill.Get(), gradient, nullptr);
  }
  Recolor(color);
  target_->DrawGeometry(line.Get(), brush_.Get(), kChartLineWidth, nullptr);
  target_->PopAxisAlignedClip();
}

IDWriteTextFormat* Renderer::TextFormat(TextStyle style, TextAlign align, bool wrap) {
  ComPtr<IDWriteTextFormat>& slot =
      textFormats_[static_cast<std::size_t>(TextFormatSlot(style, align, wrap))];
  if (slot) {
    return slot.Get();
  }
  const TextStyleFont& font = StyleFont(style);
  const wchar_t* locale = AsWide(LocaleName().data());
  const auto create = [&](std::u16string_view family) {
    return writeFactory_->CreateTextFormat(Wide(family), nullptr,
                                           static_cast<DWRITE_FONT_WEIGHT>(font.weight),
                                           DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                           font.size, locale, slot.ReleaseAndGetAddressOf());
  };
  if (FAILED(create(families().For(font.role)))) {
    slot.Reset();
    if (FAILED(create(kFallbackFamily))) {
      slot.Reset();
      return nullptr;
    }
  }
  ++stats_.textFormats;
  slot->SetTextAlignment(ToDWrite(align));
  slot->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
  slot->SetWordWrapping(wrap ? DWRITE_WORD_WRAPPING_WRAP : DWRITE_WORD_WRAPPING_NO_WRAP);
  if (!wrap) {
    // A single line that does not fit ends in an ellipsis at a character boundary.
    ComPtr<IDWriteInlineObject> ellipsis;
    if (SUCCEEDED(writeFactory_->CreateEllipsisTrimmingSign(slot.Get(), &ellipsis))) {
      const DWRITE_TRIMMING trimming{DWRITE_TRIMMING_GRANULARITY_CHARACTER, 0, 0};
      slot->SetTrimming(&trimming, ellipsis.Get());
    }
  }
  return slot.Get();
}

void Renderer::DrawText(std::u16string_view text, TextStyle style, const D2D1_RECT_F& rect,
                        const D2D1_COLOR_F& color, TextAlign align, bool wrap) {
  IDWriteTextFormat* format = text.empty() ? nullptr : TextFormat(style, align, wrap);
  if (format == nullptr) {
    return;
  }
  Recolor(color);
  target_->DrawText(Wide(text), Length(text), format, rect, brush_.Get(),
                    D2D1_DRAW_TEXT_OPTIONS_CLIP, DWRITE_MEASURING_MODE_NATURAL);
}

void Renderer::DrawGlyph(Glyph glyph, const D2D1_RECT_F& rect, const D2D1_COLOR_F& color,
                         TextStyle style) {
  if (!families().icons.empty()) {
    const auto code = static_cast<char16_t>(glyph);
    DrawText(std::u16string_view(&code, 1), style, rect, color, TextAlign::Center, false);
    return;
  }
  // Never a box character: the glyph's em square, centred, drawn with plain shapes.
  const float size = StyleFont(style).size;
  const float x = (rect.left + rect.right - size) / 2;
  const float y = (rect.top + rect.bottom - size) / 2;
  for (const ShapePart& part : GlyphShape(glyph, {x, y, x + size, y + size})) {
    DrawShape(part, color);
  }
}

void Renderer::DrawShape(const ShapePart& part, const D2D1_COLOR_F& color) {
  const auto point = [](PointF p) { return D2D1::Point2F(p.x, p.y); };
  Recolor(color);
  switch (part.kind) {
    case ShapePart::Kind::Line:
      target_->DrawLine(point(part.a), point(part.b), brush_.Get(), part.stroke, nullptr);
      return;
    case ShapePart::Kind::Ring:
      target_->DrawEllipse(D2D1::Ellipse(point(part.a), part.radius, part.radius), brush_.Get(),
                           part.stroke, nullptr);
      return;
    case ShapePart::Kind::Dot:
      target_->FillEllipse(D2D1::Ellipse(point(part.a), part.radius, part.radius), brush_.Get());
      return;
    case ShapePart::Kind::Triangle: {
      ComPtr<ID2D1PathGeometry> path;
      ComPtr<ID2D1GeometrySink> sink;
      if (FAILED(factory_->CreatePathGeometry(&path)) || FAILED(path->Open(&sink))) {
        return;
      }
      sink->BeginFigure(point(part.a), D2D1_FIGURE_BEGIN_FILLED);
      sink->AddLine(point(part.b));
      sink->AddLine(point(part.c));
      sink->EndFigure(D2D1_FIGURE_END_CLOSED);
      if (SUCCEEDED(sink->Close())) {
        target_->FillGeometry(path.Get(), brush_.Get(), nullptr);
      }
      return;
    }
  }
}

bool Renderer::DrawIcon(HICON icon, const D2D1_RECT_F& rect) {
  if (icon == nullptr) {
    return false;
  }
  if (icon != iconHandle_ || !iconBitmap_) {
    iconBitmap_.Reset();
    ComPtr<IWICImagingFactory> wic;
    ComPtr<IWICBitmap> source;
    ComPtr<IWICFormatConverter> converter;
    HRESULT result = CoCreateInstance(CLSID_WICImagingFactory2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&wic));
    if (SUCCEEDED(result)) {
      result = wic->CreateBitmapFromHICON(icon, &source);
    }
    if (SUCCEEDED(result)) {
      result = wic->CreateFormatConverter(&converter);
    }
    if (SUCCEEDED(result)) {
      result = converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeMedianCut);
    }
    if (SUCCEEDED(result)) {
      result = target_->CreateBitmapFromWicBitmap(converter.Get(), nullptr, &iconBitmap_);
    }
    if (FAILED(result)) {
      LogEvent(kWarn, "render", "icon_failed", CodeDetail(static_cast<std::uint32_t>(result)));
      iconBitmap_.Reset();
      return false;
    }
    ++stats_.iconBitmaps;
    iconHandle_ = icon;
  }
  target_->DrawBitmap(iconBitmap_.Get(), rect, 1.0f, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR,
                      nullptr);
  return true;
}

float Renderer::MeasureTextWidth(std::u16string_view text, TextStyle style) {
  if (const std::optional<float> cached = textWidths_.find(style, text)) {
    return *cached;
  }
  textWidths_.MakeRoom();
  IDWriteTextFormat* format = TextFormat(style, TextAlign::Leading, false);
  ComPtr<IDWriteTextLayout> layout;
  DWRITE_TEXT_METRICS metrics{};
  if (format == nullptr ||
      FAILED(writeFactory_->CreateTextLayout(Wide(text), Length(text), format, kMeasureMaxWidth,
                                             kMeasureMaxHeight, &layout)) ||
      FAILED(layout->GetMetrics(&metrics))) {
    return 0;
  }
  // Trailing blanks count: they separate what is drawn after the text.
  textWidths_.Store(style, text, metrics.widthIncludingTrailingWhitespace);
  return metrics.widthIncludingTrailingWhitespace;
}

float Renderer::MeasureTextHeight(std::u16string_view text, TextStyle style, float maxWidth) {
  IDWriteTextFormat* format = TextFormat(style, TextAlign::Leading, true);
  ComPtr<IDWriteTextLayout> layout;
  DWRITE_TEXT_METRICS metrics{};
  if (format == nullptr ||
      FAILED(writeFactory_->CreateTextLayout(Wide(text), Length(text), format, maxWidth,
                                             kMeasureMaxHeight, &layout)) ||
      FAILED(layout->GetMetrics(&metrics))) {
    return 0;
  }
  return metrics.height;
}

}  // namespace lumetta
