// A real top-level window on the (virtual) display for drawing tests, and a capture of what
// the screen shows inside it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lumetta::test {

// What the screen shows over a window's client area, as 0xRRGGBB per pixel, row by row.
class Capture {
 public:
  Capture(int width, int height, std::vector<std::uint32_t> pixels)
      : width_(width), height_(height), pixels_(std::move(pixels)) {}
  [[nodiscard]] std::uint32_t at(int x, int y) const {
    return pixels_[static_cast<std::size_t>(y * width_ + x)];
  }
  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  // Every pixel alike: nothing has been drawn yet, or a plain fill.
  [[nodiscard]] bool uniform() const {
    return std::all_of(pixels_.begin(), pixels_.end(), [&](auto p) { return p == pixels_[0]; });
  }
  // Every pixel black, or none at all.
  [[nodiscard]] bool blank() const { return uniform() && (pixels_.empty() || pixels_[0] == 0); }
  // How many pixels show exactly `color`.
  [[nodiscard]] int count(std::uint32_t color) const {
    return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), color));
  }
  friend bool operator==(const Capture&, const Capture&) = default;

 private:
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
};

[[nodiscard]] inline Capture Grab(HWND hwnd) {
  GdiFlush();
  RECT client{};
  GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ClientToScreen(hwnd, &origin);
  const int width = client.right;
  const int height = client.bottom;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* source = static_cast<const std::uint32_t*>(bits);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = source[i] & 0xFFFFFFu;
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return Capture(width, height, std::move(pixels));
}

// What the screen shows once it has stopped changing for a while: Wine presents a frame some
// time after EndDraw returns, later the busier the machine.
[[nodiscard]] inline Capture GrabSettled(HWND hwnd, DWORD timeoutMs = 3000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  Capture previous = Grab(hwnd);
  for (int same = 0; same < 10 && GetTickCount64() < deadline;) {
    Sleep(30);
    Capture next = Grab(hwnd);
    same = next == previous && !next.blank() ? same + 1 : 0;
    previous = std::move(next);
  }
  return previous;
}

class TestWindow {
 public:
  // A topmost popup at a fixed screen place, so that parallel tests do not overlap.
  TestWindow(int x, int y, int width, int height) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LumettaTestWindow";
    RegisterClassW(&windowClass);  // a second registration fails harmlessly
    hwnd_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, L"LumettaTestWindow", L"test",
                            WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
    Pump();
  }
  ~TestWindow() { DestroyWindow(hwnd_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  [[nodiscard]] HWND hwnd() const { return hwnd_; }

  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&message);
    }
  }
  // Pumps for `ms`: what a window posts to itself while opening is handled by then.
  static void PumpFor(DWORD ms = 100) {
    for (const ULONGLONG end = GetTickCount64() + ms; GetTickCount64() < end; Sleep(10)) {
      Pump();
    }
  }

  [[nodiscard]] Capture Grab() const {
    Pump();
    return test::Grab(hwnd_);
  }
  [[nodiscard]] Capture GrabSettled(DWORD timeoutMs = 3000) const {
    Pump();
    return test::GrabSettled(hwnd_, timeoutMs);
  }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace lumetta::test
