// The base of the program's windows, the card and the dialogs: binding the window to its
// object at WM_NCCREATE, class registration, painting through the window's renderer onto the
// right backdrop, theme, composition and DPI changes, and mouse-leave tracking. A derived
// window handles only its own messages, in OnMessage.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "base/geometry.h"
#include "draw/renderer.h"
#include "draw/theme_win.h"
#include "window/accessibility.h"
#include "window/uia_provider_win.h"

namespace lumetta {

// Why a window could not be made, with the failing call's code (never 0 on a failure).
struct WindowCreation {
  enum class Failed { Nothing, RegisterClass, CreateWindow } failed = Failed::Nothing;
  std::uint32_t error = 0;

  [[nodiscard]] bool Ok() const { return failed == Failed::Nothing; }
  [[nodiscard]] HRESULT HResult() const;
};

// Posted to itself: a screen reader's Invoke, acted on once UI Automation's call has returned.
inline constexpr UINT kAccessibilityInvokeMessage = WM_APP + 64;
// Posted to itself: what changed while a sent message was handled, told once it has returned.
inline constexpr UINT kAccessibilityChangedMessage = WM_APP + 65;

class WindowBase : private AccessibilityHost {
 public:
  WindowBase(ID2D1Factory* factory, IDWriteFactory* writeFactory, WindowFrame frame);
  virtual ~WindowBase();
  WindowBase(const WindowBase&) = delete;
  WindowBase& operator=(const WindowBase&) = delete;

  [[nodiscard]] HWND hwnd() const { return hwnd_; }
  // The window's DPI; 96 while there is no window.
  [[nodiscard]] float Dpi() const;
  void Invalidate();
  // The window's UI Automation root, made on first use as WM_GETOBJECT makes it; null while
  // there is no window.
  [[nodiscard]] IRawElementProviderSimple* AccessibilityRoot();

 protected:
  // Registers `className` once per process (icon resource 1, arrow cursor, no background) and
  // creates the window bound to this object, then sets up its frame.
  WindowCreation CreateBoundWindow(const wchar_t* className, DWORD exStyle, DWORD style,
                                   const wchar_t* title, const ScreenRect& place);
  // Destroys the window without letting another message reach this object.
  void DestroyBoundWindow();

  [[nodiscard]] Renderer& renderer() { return renderer_; }
  // Drawing DIPs times `scale` per DIP of the window's DPI (the card's display scale).
  void SetRenderScale(float scale);
  // A client point in drawing DIPs.
  [[nodiscard]] PointF ToDips(int x, int y) const;

  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  virtual void Paint(Renderer& renderer, float width, float height) = 0;
  // After a theme or composition change has switched the palette.
  virtual void OnFrameChanged() {}
  virtual void OnDpiChanged() {}
  virtual void OnMouseLeft(bool /*nonClient*/) {}
  // What a screen reader finds in the window, and what it asks of an element.
  [[nodiscard]] virtual A11yTree BuildAccessibilityTree() = 0;
  virtual A11yOutcome OnAccessibilityRequest(const A11yRequest& request) = 0;
  // After input or a request may have changed what a screen reader finds: listening readers
  // are told what did. Nothing happens until a reader has asked for the window once.
  void AccessibilityChanged();
  // What a reader is answered from is made anew, without telling anybody: for changes told
  // later, at once, such as the card's clock between ticks.
  void RefreshAccessibility();
  // Whether a screen reader has asked for the window: until then nothing is made for one.
  [[nodiscard]] bool AccessibilityInUse() const { return uia_ != nullptr; }

 private:
  HWND AccessibilityHwnd() const override { return hwnd_; }
  const A11yTree& AccessibilityTree() const override { return tree_; }
  A11yOutcome HandleAccessibilityRequest(const A11yRequest& request) override;
  RECT ScreenRectOf(const RectF& dips) const override;
  PointF DipsAtScreen(double x, double y) const override;

  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void SetUpFrame();
  // The theme, the system colours or composition changed: a new palette and a new frame.
  void Retheme();
  void PaintFrame();
  void DrawFrame();
  void PrintClient(HDC dc);

  Renderer renderer_;
  Palette palette_;
  WindowFrame frame_;
  HWND hwnd_ = nullptr;
  bool created_ = false;  // a window is not described before its creation has finished
  std::unique_ptr<UiaProviders> uia_;
  A11yTree tree_;  // what readers are answered from, kept while one has asked
  bool plainBackdrop_ = false;
  bool trackingLeave_[2] = {false, false};  // client, non-client
  bool changePosted_ = false;
};

}  // namespace lumetta
