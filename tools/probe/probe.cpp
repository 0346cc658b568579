#include "probe/probe.h"

#include <algorithm>
#include <cstdint>

#include "card/monitor_window.h"

namespace lumetta::probe {

HWND WaitForCard(DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    // Shown only once its first sample is laid out.
    HWND card = FindWindowW(kMonitorWindowClass, nullptr);
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
  const int width = client.right;
  const int height = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  const bool varied =
      pixels != nullptr && std::any_of(pixels, pixels + count, [&](std::uint32_t p) {
        return (p & 0xFFFFFFu) != (pixels[0] & 0xFFFFFFu);
      });
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return varied;
}

}  // namespace lumetta::probe
