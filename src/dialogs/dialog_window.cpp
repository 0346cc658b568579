#include "dialogs/dialog_window.h"

#include <windowsx.h>

#include "app/log.h"
#include "base/wide.h"
#include "window/window_geometry.h"

namespace lumetta {
namespace {

// Fixed size, with close and minimise buttons.
constexpr DWORD kDialogStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

}  // namespace

DialogWindow::DialogWindow(ID2D1Factory* factory, IDWriteFactory* writeFactory)
    : WindowBase(factory, writeFactory, WindowFrame::Dialog) {}

void DialogWindow::Show(HWND ownerWindow) {
  if (hwnd() == nullptr && !Create(ownerWindow)) {
    return;
  }
  if (IsIconic(hwnd())) {
    ShowWindow(hwnd(), SW_RESTORE);
  }
  ShowWindow(hwnd(), SW_SHOW);
  SetForegroundWindow(hwnd());
}

bool DialogWindow::Create(HWND ownerWindow) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(ownerWindow, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const std::u16string title = WindowTitle();
  const WindowCreation created = CreateBoundWindow(
      ClassName(), 0, kDialogStyle, AsWide(title.c_str()), {work.left, work.top, 100, 100});
  if (!created.Ok()) {
    LogEvent(kError, "dialog",
             created.failed == WindowCreation::Failed::RegisterClass ? "register_failed"
                                                                     : "create_failed",
             CodeDetail(created.error));
    return false;
  }
  Place(true);
  OnCreated();
  return true;
}

// The client size in DIPs at the window's DPI, never beyond the work area of the monitor it is
// on: centred at creation; after a DPI change, where the system put it, moved inside.
void DialogWindow::Place(bool centred) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  const UINT dpi = GetDpiForWindow(hwnd());
  const DipSize size = ClientSize();
  RECT outer{0, 0, MulDiv(size.width, static_cast<int>(dpi), 96),
             MulDiv(size.height, static_cast<int>(dpi), 96)};
  AdjustWindowRectExForDpi(&outer, kDialogStyle, FALSE, 0, dpi);
  RECT now{};
  GetWindowRect(hwnd(), &now);
  const ScreenRect place =
      PlaceInWorkArea(outer.right - outer.left, outer.bottom - outer.top,
                      {work.left, work.top, work.right - work.left, work.bottom - work.top},
                      centred ? std::nullopt : std::optional<ScreenPoint>({now.left, now.top}));
  SetWindowPos(hwnd(), nullptr, place.x, place.y, place.w, place.h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void DialogWindow::OnMouseLeft(bool nonClient) {
  if (!nonClient) {
    OnMouseLeave();
  }
}

LRESULT DialogWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const PointF dip = ToDips(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  switch (message) {
    case WM_SETCURSOR: {
      if (LOWORD(lParam) != HTCLIENT) {
        break;
      }
      POINT cursor{};
      GetCursorPos(&cursor);
      ScreenToClient(hwnd(), &cursor);
      const PointF at = ToDips(cursor.x, cursor.y);
      const bool clickable = IsClickableAt(at.x, at.y);
      SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(clickable ? 32649 : 32512)));  // hand, arrow
      return TRUE;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE) {
        DestroyWindow(hwnd());
        return 0;
      }
      if (OnKeyDown(wParam)) {
        AccessibilityChanged();
        return 0;
      }
      break;
    case WM_MOUSEMOVE:
      OnMouseMove(dip.x, dip.y);
      return 0;
    case WM_LBUTTONDOWN:
      SetCapture(hwnd());
      OnMouseDown(dip.x, dip.y);
      AccessibilityChanged();
      return 0;
    case WM_LBUTTONUP:
      // Released after the handler: the capture change it causes must not cancel this press.
      OnMouseUp(dip.x, dip.y);
      ReleaseCapture();
      AccessibilityChanged();
      return 0;
    case WM_CAPTURECHANGED:
      OnCaptureLost();
      return 0;
    case WM_CANCELMODE:
      OnCaptureLost();
      break;
    case WM_MOUSEWHEEL:
      OnMouseWheel(static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd(), message, wParam, lParam);
}

}  // namespace lumetta
