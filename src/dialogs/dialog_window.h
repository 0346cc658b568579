// The base of the custom-drawn dialogs: a plain top-level window drawn whole by its own
// renderer on a Mica backdrop, whose controls are rectangles the derived class draws and
// hit-tests itself.
#pragma once

#include <windows.h>

#include <string>

#include "window/window_base.h"

namespace lumetta {

struct DipSize {
  int width;
  int height;
};

class DialogWindow : public WindowBase {
 public:
  DialogWindow(ID2D1Factory* factory, IDWriteFactory* writeFactory);

  // Creates the window when needed, restores it if minimised, and brings it to the front.
  void Show(HWND ownerWindow);

 protected:
  virtual const wchar_t* ClassName() const = 0;
  virtual std::u16string WindowTitle() const = 0;
  virtual DipSize ClientSize() const = 0;
  virtual void OnCreated() {}
  virtual void OnMouseMove(float, float) {}
  virtual void OnMouseLeave() {}
  virtual void OnMouseDown(float, float) {}
  virtual void OnMouseUp(float, float) {}
  virtual void OnMouseWheel(float) {}
  // The mouse capture went elsewhere (another window, Alt+Tab, a cancelled mode).
  virtual void OnCaptureLost() {}
  virtual bool OnKeyDown(WPARAM) { return false; }
  virtual bool IsClickableAt(float, float) { return false; }

  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnMouseLeft(bool nonClient) override;
  void OnDpiChanged() override { Place(false); }

 private:
  bool Create(HWND ownerWindow);
  void Place(bool centred);
};

}  // namespace lumetta
