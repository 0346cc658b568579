// The UI Automation provider of a custom-drawn window: its root element, handed out on
// WM_GETOBJECT, and the events for what changed in the window's accessibility tree.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <uiautomationcore.h>
#include <wrl/client.h>

#include <memory>
#include <optional>

#include "window/accessibility.h"

namespace lumetta {

// What a window lends its provider. UI Automation calls a window's providers on its thread.
class AccessibilityHost {
 public:
  [[nodiscard]] virtual HWND AccessibilityHwnd() const = 0;
  // The tree as it was last made: reading it never makes it anew.
  [[nodiscard]] virtual const A11yTree& AccessibilityTree() const = 0;
  virtual A11yOutcome HandleAccessibilityRequest(const A11yRequest& request) = 0;
  // A rectangle in window DIPs on the screen, in pixels; a screen point in window DIPs.
  [[nodiscard]] virtual RECT ScreenRectOf(const RectF& dips) const = 0;
  [[nodiscard]] virtual PointF DipsAtScreen(double x, double y) const = 0;

 protected:
  ~AccessibilityHost() = default;
};

struct UiaBridge;

class UiaProviders {
 public:
  explicit UiaProviders(AccessibilityHost& window);
  // Cuts every element handed out off from the window: later calls fail as "not available".
  ~UiaProviders();
  UiaProviders(const UiaProviders&) = delete;
  UiaProviders& operator=(const UiaProviders&) = delete;

  // The answer to WM_GETOBJECT, through UI Automation for every object id; nothing where it
  // leaves the answer to the window's default.
  [[nodiscard]] std::optional<LRESULT> OnGetObject(WPARAM wParam, LPARAM lParam);
  // Raises the events for what changed since the last call, when anybody listens.
  void Changed();
  void Invoked(std::uint32_t id);
  [[nodiscard]] IRawElementProviderSimple* Root() const;

  // UI Automation calls elements from any thread; each call is run on the window's thread by
  // this registered message, which the window passes to RunCall.
  [[nodiscard]] static UINT CallMessage();
  bool RunCall(WPARAM key);

 private:
  void Raise(const A11yChange& change, const A11yTree& before, const A11yTree& after);

  std::shared_ptr<UiaBridge> bridge_;
  Microsoft::WRL::ComPtr<IRawElementProviderSimple> root_;
  A11yTree last_;
};

}  // namespace lumetta
