// Pixels drawn into a bitmap of their own, message pumps, and a plain window.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace lumetta::test {

// A window's rectangle on the screen, or with `client` its client area's.
inline RECT RectOf(HWND hwnd, bool client = false) {
  RECT rect{};
  client ? GetClientRect(hwnd, &rect) : GetWindowRect(hwnd, &rect);
  return rect;
}

// Pixels as 0xRRGGBB, row by row.
class Capture {
 public:
  Capture(int width, int height, std::vector<std::uint32_t> pixels)
      : width_(width), height_(height), pixels_(std::move(pixels)) {}
  [[nodiscard]] std::uint32_t at(int x, int y) const {
    return pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
  }
  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  // Every pixel alike: nothing has been drawn yet, or a plain fill.
  [[nodiscard]] bool Uniform() const {
    return std::all_of(pixels_.begin(), pixels_.end(), [&](auto p) { return p == pixels_[0]; });
  }
  // How many pixels show exactly `color`.
  [[nodiscard]] int count(std::uint32_t color) const {
    return static_cast<int>(std::count(pixels_.begin(), pixels_.end(), color));
  }
  friend bool operator==(const Capture&, const Capture&) = default;

 private:
  int width_, height_;
  std::vector<std::uint32_t> pixels_;
};

// A bitmap of its own to draw into, so that what a test reads is what it drew, whatever the
// shared screen shows over the same place.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    old_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  [[nodiscard]] HDC dc() const { return dc_; }
  [[nodiscard]] RECT Rect() const { return {0, 0, width_, height_}; }
  // Black again, so that a frame that draws nothing somewhere leaves nothing of the last there.
  void Clear() {
    GdiFlush();
    std::fill_n(static_cast<std::uint32_t*>(bits_), Pixels(), 0u);
  }
  [[nodiscard]] Capture Read() const {
    GdiFlush();
    const auto* source = static_cast<const std::uint32_t*>(bits_);
    std::vector<std::uint32_t> pixels(Pixels());
    std::transform(source, source + pixels.size(), pixels.begin(),
                   [](std::uint32_t p) { return p & 0xFFFFFFu; });
    return Capture(width_, height_, std::move(pixels));
  }
  // A window's client area as the window draws it for PrintWindow (WM_PRINTCLIENT).
  [[nodiscard]] static Capture Print(HWND hwnd) {
    const RECT client = RectOf(hwnd, true);
    Canvas canvas(client.right, client.bottom);
    SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.dc()), PRF_CLIENT);
    return canvas.Read();
  }

 private:
  [[nodiscard]] std::size_t Pixels() const { return std::size_t(width_) * std::size_t(height_); }

  int width_, height_;
  void* bits_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

// Handles the messages waiting for this thread, such as those its windows posted themselves.
inline void Pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    DispatchMessageW(&message);
  }
}

// Handles this thread's messages until `event` is set (true) or `timeoutMs` has passed (false):
// for another thread whose calls this thread's windows serve.
inline bool PumpUntilSet(HANDLE event, DWORD timeoutMs = 10000) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (ULONGLONG now = GetTickCount64(); now < deadline; now = GetTickCount64()) {
    Pump();
    if (MsgWaitForMultipleObjects(1, &event, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT) == WAIT_OBJECT_0) {
      return true;
    }
  }
  return false;
}

// The calling thread's nth allocation from now (0: the next) throws std::bad_alloc, once; -1
// disarms. The test program's main defines them.
void FailAllocation(long nth);
[[nodiscard]] bool AllocationFailed();  // since it was armed

// A plain top-level window for what needs a real one, such as its frame's attributes.
class TestWindow {
 public:
  TestWindow()
      : hwnd_(CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"test", WS_POPUP, 0, 0, 40, 40, nullptr,
                              nullptr, nullptr, nullptr)) {}
  ~TestWindow() { DestroyWindow(hwnd_); }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  [[nodiscard]] HWND hwnd() const { return hwnd_; }

 private:
  HWND hwnd_;
};

}  // namespace lumetta::test
