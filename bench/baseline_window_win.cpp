// The yardstick for Lumetta's own cost: a minimal window that repaints a line of text once a
// second with GDI and does nothing else.
#include <windows.h>

#include <cwchar>

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint{};
      HDC dc = BeginPaint(hwnd, &paint);
      SYSTEMTIME now{};
      GetLocalTime(&now);
      wchar_t text[32];
      const int length = swprintf(text, 32, L"%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
      TextOutW(dc, 8, 8, text, length);
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
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  windowClass.lpszClassName = L"LumettaBaselineWindow";
  RegisterClassW(&windowClass);
  HWND hwnd =
      CreateWindowExW(WS_EX_TOOLWINDOW, L"LumettaBaselineWindow", L"baseline",
                      WS_POPUP | WS_VISIBLE, 40, 700, 190, 56, nullptr, nullptr, instance, nullptr);
  SetTimer(hwnd, 1, 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  return 0;
}
