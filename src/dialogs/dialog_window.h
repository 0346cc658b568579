// The base of the custom-drawn dialogs: a plain top-level window drawn whole by its own
// Renderer on a Mica backdrop, whose controls are rectangles the derived class draws and
// hit-tests itself.
#pragma once

#include <windows.h>

#include <string>

#include "draw/renderer.h"

namespace lumetta {

struct DipSize {
  int width;
  int height;
};

class DialogWindow {
 public:
  DialogWindow(ID2D1Factory* factory, IDWriteFactory* writeFactory);
  virtual ~DialogWindow();
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Creates the window when needed, restores it if minimised, and brings it to the front.
  void Show(HWND ownerWindow);
  void Invalidate();
  [[nodiscard]] float Dpi() const;
  [[nodiscard]] HWND hwnd() const { return hwnd_; }

 protected:
  [[nodiscard]] Renderer& renderer() { return renderer_; }

  virtual const wchar_t* ClassName() const = 0;
  virtual std::u16string WindowTitle() const = 0;
  virtual DipSize ClientSize() const = 0;
  virtual void Paint(Renderer& renderer, float width, float height) = 0;
  virtual void OnCreated() {}
  virtual void OnMouseMove(float, float) {}
  virtual void OnMouseLeave() {}
  virtual void OnMouseDown(float, float) {}
  virtual void OnMouseUp(float, float) {}
  virtual void OnMouseWheel(float) {}
  // The mouse capture went elsewhere (another window, Alt+Tab, a cancelled mode).
  virtual void OnCaptureLost() {}
  virtual bool OnKeyDown(WPARAM) { return false; }
  virtual void OnThemeChanged() {}
  virtual bool IsClickableAt(float, float) { return false; }

 private:
  bool Create(HWND ownerWindow);
  static LRESULT CALLBACK WindowProcThunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnPaint();
  LRESULT OnSetCursor(WPARAM wParam, LPARAM lParam);
  void SetUpFrame();
  float ToDips(int pixels) const;

  Renderer renderer_;
  HWND hwnd_ = nullptr;
  bool trackingLeave_ = false;
  bool plainBackdrop_ = false;
};

}  // namespace lumetta
