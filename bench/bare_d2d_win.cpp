// The yardstick of tools/soak: a bare window that draws, with the kinds of Direct2D and
// DirectWrite calls the card makes each frame, a frame every INTERVAL_MS (default 500):
// rounded rectangles, circles, DrawText with changing figures, measured text layouts, and
// charts the card's sizes (a dashed line, a path filled with a gradient, a path stroked).
// Nothing is kept across frames but what the card keeps (target, brush, gradient, stroke
// style, formats), so whatever grows per frame here is Wine's.
//   bare_d2d [INTERVAL_MS [COUNT_FILE [WITHOUT]]]
// COUNT_FILE is rewritten with the number of frames drawn every 100 frames. WITHOUT leaves
// out calls to show which of them grow: the sum of 1 (DrawText), 2 (measured layouts),
// 4 (charts), 8 (the charts' path fills), 16 (everything but Clear), 32 (the charts' stroked
// lines), 64 (the charts' dashed lines), 128 (the charts' path geometries), 256 (changing
// chart values: they stay flat).
#include <windows.h>

#include <d2d1.h>
#include <dwrite.h>
#include <shellapi.h>
#include <wrl/client.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

using Microsoft::WRL::ComPtr;

namespace {

constexpr int kWidth = 190;
constexpr int kHeight = 520;
constexpr int kHistory = 60;
constexpr float kDashes[] = {2.0f, 3.0f};

struct Bare {
  ComPtr<ID2D1Factory> factory;
  ComPtr<IDWriteFactory> write;
  ComPtr<ID2D1HwndRenderTarget> target;
  ComPtr<ID2D1SolidColorBrush> brush;
  ComPtr<ID2D1LinearGradientBrush> gradient;
  ComPtr<ID2D1StrokeStyle> dash;
  std::array<ComPtr<IDWriteTextFormat>, 3> formats;
  std::array<double, kHistory> history{};
  unsigned frame = 0;
  std::wstring countFile;
  unsigned without = 0;
};

Bare gBare;

void MakeResources(HWND hwnd) {
  Bare& b = gBare;
  if (b.target) {
    return;
  }
  const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
      D2D1_RENDER_TARGET_TYPE_DEFAULT,
      D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED));
  b.factory->CreateHwndRenderTarget(
      properties, D2D1::HwndRenderTargetProperties(hwnd, D2D1::SizeU(kWidth, kHeight)), &b.target);
  b.target->CreateSolidColorBrush(D2D1::ColorF(1, 1, 1, 1), &b.brush);
  const D2D1_GRADIENT_STOP stops[] = {{0.0f, D2D1::ColorF(0.3f, 0.6f, 1.0f, 0.3f)},
                                      {1.0f, D2D1::ColorF(0.3f, 0.6f, 1.0f, 0.02f)}};
  ComPtr<ID2D1GradientStopCollection> collection;
  b.target->CreateGradientStopCollection(stops, 2, &collection);
  b.target->CreateLinearGradientBrush(
      D2D1::LinearGradientBrushProperties(D2D1::Point2F(0, 0), D2D1::Point2F(0, 1)),
      collection.Get(), &b.gradient);
  b.factory->CreateStrokeStyle(
      D2D1::StrokeStyleProperties(D2D1_CAP_STYLE_FLAT, D2D1_CAP_STYLE_FLAT, D2D1_CAP_STYLE_FLAT,
                                  D2D1_LINE_JOIN_MITER, 10.0f, D2D1_DASH_STYLE_CUSTOM, 0.0f),
      kDashes, 2, &b.dash);
  const float sizes[] = {10, 11, 20};
  for (std::size_t i = 0; i < b.formats.size(); ++i) {
    b.write->CreateTextFormat(L"Segoe UI", nullptr, DWRITE_FONT_WEIGHT_NORMAL,
                              DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, sizes[i],
                              L"en-US", &b.formats[i]);
    b.formats[i]->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
    b.formats[i]->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
  }
}

enum Without : unsigned {
  kText = 1,
  kLayouts = 2,
  kCharts = 4,
  kFills = 8,
  kShapes = 16,
  kStrokes = 32,
  kDashedLines = 64,
  kPaths = 128,
  kFlat = 256,
};

bool Left(Without calls) {
  return (gBare.without & calls) != 0;
}

void Text(const wchar_t* text, std::size_t format, D2D1_RECT_F rect) {
  Bare& b = gBare;
  if (Left(kText)) {
    return;
  }
  b.brush->SetColor(D2D1::ColorF(0.9f, 0.9f, 0.9f, 1.0f));
  b.target->DrawText(text, static_cast<UINT32>(wcslen(text)), b.formats[format].Get(), rect,
                     b.brush.Get(), D2D1_DRAW_TEXT_OPTIONS_CLIP);
}

float Measure(const wchar_t* text) {
  ComPtr<IDWriteTextLayout> layout;
  DWRITE_TEXT_METRICS metrics{};
  if (Left(kLayouts)) {
    return 40;
  }
  if (SUCCEEDED(gBare.write->CreateTextLayout(text, static_cast<UINT32>(wcslen(text)),
                                              gBare.formats[1].Get(), 10000, 1000, &layout))) {
    layout->GetMetrics(&metrics);
  }
  return metrics.widthIncludingTrailingWhitespace;
}

void Chart(D2D1_RECT_F rect) {
  Bare& b = gBare;
  if (Left(kCharts)) {
    return;
  }
  b.brush->SetColor(D2D1::ColorF(1, 1, 1, 0.05f));
  b.target->FillRoundedRectangle(D2D1::RoundedRect(rect, 3, 3), b.brush.Get());
  const float middle = (rect.top + rect.bottom) / 2;
  if (!Left(kDashedLines)) {
    b.target->DrawLine({rect.left, middle}, {rect.right, middle}, b.brush.Get(), 1.0f,
                       b.dash.Get());
  }
  const auto point = [&](int i) {
    return D2D1::Point2F(
        rect.left + (rect.right - rect.left) * static_cast<float>(i) / (kHistory - 1),
        rect.bottom -
            (rect.bottom - rect.top) * static_cast<float>(b.history[static_cast<std::size_t>(i)]));
  };
  if (Left(kPaths)) {
    return;
  }
  ComPtr<ID2D1PathGeometry> fill;
  ComPtr<ID2D1PathGeometry> line;
  ComPtr<ID2D1GeometrySink> sink;
  b.factory->CreatePathGeometry(&fill);
  fill->Open(&sink);
  sink->BeginFigure({rect.left, rect.bottom}, D2D1_FIGURE_BEGIN_FILLED);
  for (int i = 0; i < kHistory; ++i) {
    sink->AddLine(point(i));
  }
  sink->AddLine({rect.right, rect.bottom});
  sink->EndFigure(D2D1_FIGURE_END_CLOSED);
  sink->Close();
  sink.Reset();
  b.factory->CreatePathGeometry(&line);
  line->Open(&sink);
  sink->BeginFigure(point(0), D2D1_FIGURE_BEGIN_HOLLOW);
  for (int i = 1; i < kHistory; ++i) {
    sink->AddLine(point(i));
  }
  sink->EndFigure(D2D1_FIGURE_END_OPEN);
  sink->Close();
  b.gradient->SetStartPoint({rect.left, rect.top});
  b.gradient->SetEndPoint({rect.left, rect.bottom});
  if (!Left(kFills)) {
    b.target->FillGeometry(fill.Get(), b.gradient.Get());
  }
  b.brush->SetColor(D2D1::ColorF(0.3f, 0.6f, 1.0f, 1.0f));
  if (!Left(kStrokes)) {
    b.target->DrawGeometry(line.Get(), b.brush.Get(), 1.5f);
  }
}

void Bar(D2D1_RECT_F rect, float fraction) {
  Bare& b = gBare;
  const float radius = (rect.bottom - rect.top) / 2;
  b.brush->SetColor(D2D1::ColorF(1, 1, 1, 0.1f));
  b.target->FillRoundedRectangle(D2D1::RoundedRect(rect, radius, radius), b.brush.Get());
  rect.right = rect.left + (rect.right - rect.left) * fraction;
  b.brush->SetColor(D2D1::ColorF(0.3f, 0.6f, 1.0f, 1.0f));
  b.target->FillRoundedRectangle(D2D1::RoundedRect(rect, radius, radius), b.brush.Get());
}

void EndFrame() {
  Bare& b = gBare;
  if (b.target->EndDraw() == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
    b.target.Reset();
  }
  if (b.frame % 100 == 0 && !b.countFile.empty()) {
    if (FILE* file = _wfopen(b.countFile.c_str(), L"w")) {
      fprintf(file, "%u\n", b.frame);
      fclose(file);
    }
  }
}

// About the card's share of each kind of call with every section on.
void DrawFrame(HWND hwnd) {
  MakeResources(hwnd);
  Bare& b = gBare;
  ++b.frame;
  for (std::size_t i = 0; i + 1 < b.history.size(); ++i) {
    b.history[i] = b.history[i + 1];
  }
  b.history.back() = Left(kFlat) ? 0.5 : (std::sin(b.frame * 0.3) + 1) / 2;
  b.target->BeginDraw();
  b.target->Clear(D2D1::ColorF(0, 0, 0, 0));
  if (Left(kShapes)) {
    EndFrame();
    return;
  }
  b.brush->SetColor(D2D1::ColorF(0.12f, 0.12f, 0.12f, 0.9f));
  b.target->FillRoundedRectangle(D2D1::RoundedRect({0, 0, kWidth, kHeight}, 8, 8), b.brush.Get());
  wchar_t text[64];
  float top = 10;
  for (int row = 0; row < 14; ++row) {
    swprintf(text, 64, L"Value %u.%u KB/s", b.frame % 997,
             (b.frame * 7 + static_cast<unsigned>(row)) % 10);
    const float w = Measure(text);
    Text(L"Title", 1, {12, top, 12 + 40, top + 16});
    Text(text, row % 3 == 0 ? 2 : 0, {178 - w, top, 178, top + 16});
    top += 18;
  }
  // The CPU's, the GPU's and the two network charts.
  Chart({12, top, 178, top + 30});
  Chart({12, top + 36, 178, top + 60});
  Chart({98, top + 66, 178, top + 80});
  Chart({98, top + 85, 178, top + 99});
  top += 104;
  for (int bar = 0; bar < 12; ++bar) {
    Bar({12, top, 178, top + 6},
        static_cast<float>((b.frame + static_cast<unsigned>(bar)) % 100) / 100);
    top += 8;
  }
  for (int dot = 0; dot < 4; ++dot) {
    b.target->FillEllipse(
        D2D1::Ellipse({16.0f + static_cast<float>(dot) * 40, top + 6}, 2.5f, 2.5f), b.brush.Get());
  }
  EndFrame();
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      InvalidateRect(hwnd, nullptr, FALSE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      BeginPaint(hwnd, &paint);
      DrawFrame(hwnd);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const int interval = count > 1 ? _wtoi(arguments[1]) : 500;
  if (count > 2) {
    gBare.countFile = arguments[2];
  }
  if (count > 3) {
    gBare.without = static_cast<unsigned>(_wtoi(arguments[3]));
  }
  LocalFree(arguments);
  if (FAILED(D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, gBare.factory.GetAddressOf())) ||
      FAILED(DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                                 reinterpret_cast<IUnknown**>(gBare.write.GetAddressOf())))) {
    return 1;
  }
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"LumettaBareD2D";
  RegisterClassW(&windowClass);
  HWND hwnd =
      CreateWindowExW(WS_EX_TOOLWINDOW, L"LumettaBareD2D", L"bare d2d", WS_POPUP | WS_VISIBLE, 40,
                      40, kWidth, kHeight, nullptr, nullptr, instance, nullptr);
  SetTimer(hwnd, 1, static_cast<UINT>(interval > 0 ? interval : 500), nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  return 0;
}
