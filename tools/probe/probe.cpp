#include "probe/probe.h"

#include "card/card_window.h"
#include "support/test_window.h"

namespace lumetta::probe {

HWND WaitForCard(DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    // Shown only once its first sample is laid out.
    HWND card = FindWindowW(kCardWindowClass, nullptr);
    if (card != nullptr && IsWindowVisible(card)) {
      return card;
    }
    if (GetTickCount64() >= deadline) {
      return nullptr;
    }
    Sleep(20);
  }
}

std::optional<RECT> CardRect(HWND card) {
  RECT rect{};
  if (!GetWindowRect(card, &rect)) {
    return std::nullopt;
  }
  return rect;
}

UniqueHandle OpenOwner(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == 0) {
    return UniqueHandle();
  }
  return UniqueHandle(
      OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
}

bool PostClose(HWND card) {
  return PostMessageW(card, WM_CLOSE, 0, 0) != FALSE;
}

bool PostReveal(HWND card) {
  return PostMessageW(card, RegisterWindowMessageW(kRevealMessageName), 0, 0) != FALSE;
}

std::optional<DWORD> WaitForExit(HANDLE process, DWORD timeoutMs) {
  DWORD code = 0;
  if (WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process, &code)) {
    return std::nullopt;
  }
  return code;
}

bool ShowsAFrame(HWND window) {
  RECT client{};
  POINT origin{0, 0};
  if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin) || client.right <= 0 ||
      client.bottom <= 0) {
    return false;
  }
  test::Canvas canvas(client.right, client.bottom);
  HDC screen = GetDC(nullptr);
  BitBlt(canvas.dc(), 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
  ReleaseDC(nullptr, screen);
  return !canvas.Read().Uniform();
}

}  // namespace lumetta::probe
