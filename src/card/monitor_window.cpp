#include "card/monitor_window.h"

#include <cmath>

#include "base/wide.h"
#include "settings/settings_file.h"

namespace lumetta {
namespace {

constexpr int kCardWidthDip = 190;
constexpr int kCardMinHeightDip = 56;
constexpr int kEdgeMarginDip = 8;
constexpr float kDefaultDpi = 96.0f;
constexpr COLORREF kCardBackground = RGB(32, 32, 32);

MonitorWindow* gInstance = nullptr;

int Scaled(int dips, float scale) {
  return static_cast<int>(std::lround(static_cast<float>(dips) * scale));
}

}  // namespace

MonitorWindow::MonitorWindow(ID2D1Factory* d2dFactory, IDWriteFactory* dwriteFactory,
                             const std::wstring* settingsPath)
    : d2dFactory_(d2dFactory), dwriteFactory_(dwriteFactory), settingsPath_(settingsPath) {
  gInstance = this;
  revealMessage_ = RegisterWindowMessageW(kRevealMessageName);
  if (settingsPath_ != nullptr) {
    settings_ = LoadSettings(Win32Files(), std::u16string(AsU16(*settingsPath_)));
  }
}

MonitorWindow::~MonitorWindow() {
  if (gInstance == this) {
    gInstance = nullptr;
  }
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

MonitorWindow* MonitorWindow::Instance() {
  return gInstance;
}

HRESULT MonitorWindow::Create(HINSTANCE instance) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &MonitorWindow::WindowProcThunk;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  windowClass.lpszClassName = kMonitorWindowClass;
  if (RegisterClassExW(&windowClass) == 0) {
    return HRESULT_FROM_WIN32(GetLastError());
  }

  const float scale = static_cast<float>(GetDpiForSystem()) / kDefaultDpi *
                      static_cast<float>(settings_.displayScale);
  const int width = Scaled(kCardWidthDip, scale);
  const int height = Scaled(kCardMinHeightDip, scale);
  RECT workArea{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  const int margin = Scaled(kEdgeMarginDip, scale);
  int x = workArea.right - width - margin;
  int y = workArea.top + margin;
  if (settings_.hasWindowPosition) {
    x = settings_.windowX;
    y = settings_.windowY;
  }
  const DWORD exStyle =
      WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | (settings_.alwaysOnTop ? WS_EX_TOPMOST : 0);

  HWND created = CreateWindowExW(exStyle, kMonitorWindowClass, L"Lumetta", WS_POPUP, x, y, width,
                                 height, nullptr, nullptr, instance, this);
  if (created == nullptr) {
    return HRESULT_FROM_WIN32(GetLastError());
  }
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  return S_OK;
}

void MonitorWindow::Reveal() {
  if (hwnd_ == nullptr) {
    return;
  }
  SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT CALLBACK MonitorWindow::WindowProcThunk(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
  auto* self = reinterpret_cast<MonitorWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<MonitorWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  if (self == nullptr) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->WindowProc(message, wParam, lParam);
}

LRESULT MonitorWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == revealMessage_ && revealMessage_ != 0) {
    Reveal();
    return 0;
  }
  switch (message) {
    case WM_NCCALCSIZE:
      return OnNcCalcSize(wParam, lParam);
    case WM_PAINT:
      return OnPaint();
    case WM_DESTROY:
      return OnDestroy();
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

// No non-client area: the client area is the whole window.
LRESULT MonitorWindow::OnNcCalcSize(WPARAM wParam, LPARAM lParam) {
  if (wParam == TRUE) {
    return 0;
  }
  return DefWindowProcW(hwnd_, WM_NCCALCSIZE, wParam, lParam);
}

LRESULT MonitorWindow::OnPaint() {
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(hwnd_, &paint);
  if (dc != nullptr) {
    HBRUSH brush = CreateSolidBrush(kCardBackground);
    FillRect(dc, &paint.rcPaint, brush);
    DeleteObject(brush);
  }
  EndPaint(hwnd_, &paint);
  return 0;
}

LRESULT MonitorWindow::OnDestroy() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  PostQuitMessage(0);
  return 0;
}

}  // namespace lumetta
