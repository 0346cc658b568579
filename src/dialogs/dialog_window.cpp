#include "dialogs/dialog_window.h"

#include <windowsx.h>

#include "app/log.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "dialogs/dialog_geometry.h"
#include "draw/theme_win.h"

namespace lumetta {
namespace {

// Fixed size, with close and minimise buttons.
constexpr DWORD kDialogStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

DialogWindow::DialogWindow(ID2D1Factory* factory, IDWriteFactory* writeFactory)
    : renderer_(factory, writeFactory) {}

DialogWindow::~DialogWindow() {
  if (hwnd_ != nullptr) {
    // No further message may reach the dying object.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
}

void DialogWindow::Show(HWND ownerWindow) {
  if (hwnd_ == nullptr && !Create(ownerWindow)) {
    return;
  }
  if (IsIconic(hwnd_)) {
    ShowWindow(hwnd_, SW_RESTORE);
  }
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
}

void DialogWindow::Invalidate() {
  if (hwnd_ != nullptr) {
    InvalidateRect(hwnd_, nullptr, FALSE);
  }
}

float DialogWindow::Dpi() const {
  return hwnd_ != nullptr ? static_cast<float>(GetDpiForWindow(hwnd_)) : 96.0f;
}

float DialogWindow::ToDips(int pixels) const {
  return PixelsToDips(pixels, static_cast<std::uint32_t>(Dpi()));
}

bool DialogWindow::Create(HWND ownerWindow) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(instance, ClassName(), &windowClass)) {
    windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &DialogWindow::WindowProcThunk;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    windowClass.lpszClassName = ClassName();
    if (RegisterClassExW(&windowClass) == 0) {
      LogEvent(kError, "dialog", "register_failed", CodeDetail(LastErrorCode()));
      return false;
    }
  }
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(ownerWindow, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const std::u16string title = WindowTitle();
  if (CreateWindowExW(0, ClassName(), AsWide(title.c_str()), kDialogStyle, work.left, work.top, 100,
                      100, nullptr, nullptr, instance, this) == nullptr) {
    LogEvent(kError, "dialog", "create_failed", CodeDetail(LastErrorCode()));
    return false;
  }
  renderer_.hwnd = hwnd_;
  SetUpFrame();

  const UINT dpi = GetDpiForWindow(hwnd_);
  const DipSize size = ClientSize();
  RECT outer{0, 0, MulDiv(size.width, static_cast<int>(dpi), 96),
             MulDiv(size.height, static_cast<int>(dpi), 96)};
  AdjustWindowRectExForDpi(&outer, kDialogStyle, FALSE, 0, dpi);
  const ScreenRect place =
      PlaceInWorkArea(outer.right - outer.left, outer.bottom - outer.top,
                      {work.left, work.top, work.right - work.left, work.bottom - work.top});
  SetWindowPos(hwnd_, nullptr, place.x, place.y, place.w, place.h, SWP_NOZORDER | SWP_NOACTIVATE);
  OnCreated();
  return true;
}

LRESULT CALLBACK DialogWindow::WindowProcThunk(HWND hwnd, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<DialogWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->hwnd_ = hwnd;
  }
  if (self == nullptr) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return self->WindowProc(message, wParam, lParam);
}

LRESULT DialogWindow::OnPaint() {
  PAINTSTRUCT paint{};
  BeginPaint(hwnd_, &paint);
  RECT client{};
  GetClientRect(hwnd_, &client);
  if (renderer_.BeginFrame()) {
    const float width = ToDips(client.right);
    const float height = ToDips(client.bottom);
    if (plainBackdrop_) {
      renderer_.FillRect({0, 0, width, height}, ToD2D(BackdropStandIn(*renderer_.palette)), 0);
    }
    Paint(renderer_, width, height);
    renderer_.EndFrame();
  }
  EndPaint(hwnd_, &paint);
  return 0;
}

void DialogWindow::SetUpFrame() {
  const WindowLook look = SetUpWindowFrame(hwnd_, WindowFrame::kDialog);
  renderer_.palette = look.palette;
  plainBackdrop_ = look.plainBackdrop;
}

LRESULT DialogWindow::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) {
    return DefWindowProcW(hwnd_, WM_SETCURSOR, wParam, lParam);
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(hwnd_, &cursor);
  const bool clickable = IsClickableAt(ToDips(cursor.x), ToDips(cursor.y));
  SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(clickable ? 32649 : 32512)));  // hand, arrow
  return TRUE;
}

LRESULT DialogWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const float x = ToDips(GET_X_LPARAM(lParam));
  const float y = ToDips(GET_Y_LPARAM(lParam));
  switch (message) {
    case WM_SIZE:
      renderer_.Resize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_PAINT:
      return OnPaint();
    case WM_SETTINGCHANGE:
      if (IsThemeChangeNotice(reinterpret_cast<const char16_t*>(lParam))) {
        SetUpFrame();
        OnThemeChanged();
        Invalidate();
      }
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_DWMCOMPOSITIONCHANGED:
      SetUpFrame();
      Invalidate();
      return 0;
    case WM_SETCURSOR:
      return OnSetCursor(wParam, lParam);
    case WM_NCDESTROY:
      renderer_.DiscardDeviceResources();
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      {
        HWND closing = hwnd_;
        hwnd_ = nullptr;
        trackingLeave_ = false;
        return DefWindowProcW(closing, message, wParam, lParam);
      }
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        DestroyWindow(hwnd_);
        return 0;
      }
      return OnKeyDown(wParam) ? 0 : DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_MOUSEMOVE:
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd_;
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
      }
      OnMouseMove(x, y);
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd_);
      OnMouseDown(x, y);
      return 0;
    case WM_LBUTTONUP:
      // Released after the handler: the capture change it causes must not cancel this press.
      OnMouseUp(x, y);
      ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureLost();
      return 0;
    case WM_CANCELMODE:
      OnCaptureLost();
      return DefWindowProcW(hwnd_, message, wParam, lParam);
    case WM_MOUSEWHEEL:
      OnMouseWheel(static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / 120.0f);
      return 0;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      OnMouseLeave();
      return 0;
    case WM_DPICHANGED: {
      renderer_.DiscardDeviceResources();
      const auto* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      return DefWindowProcW(hwnd_, message, wParam, lParam);
  }
}

}  // namespace lumetta
