// The COM elements of a window's UI Automation provider: one per node of the window's
// accessibility tree, answering properties, patterns and fragment navigation from the tree as
// it is at the moment of the call.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <uiautomationcore.h>
#include <wrl/client.h>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string_view>

namespace lumetta {

class AccessibilityHost;

// Shared by the window's elements. `window` and `root` are read and written on the window's
// thread only; they are null once the window has gone.
struct UiaBridge {
  HWND hwnd = nullptr;
  DWORD thread = 0;
  AccessibilityHost* window = nullptr;
  IRawElementProviderFragmentRoot* root = nullptr;
  std::mutex mutex;
  std::condition_variable finished;
  struct Call {
    const std::function<void()>* call;
    bool running;
  };
  std::map<WPARAM, Call> calls;
  WPARAM lastCall = 0;

  // Runs `call` on the window's thread: at once when already there, otherwise by a message
  // the window answers while this thread waits, at most kUiaCallTimeoutMs for a window that
  // does not answer. The message carries a key to the call, never a pointer, so that another
  // process sending it cannot make the window run anything.
  void Run(const std::function<void()>& call);
  // The window's side of Run: the call the key names, if it is still waiting.
  bool RunCall(WPARAM key);
};

inline constexpr UINT kUiaCallTimeoutMs = 2000;

// A new element for `id` (0: the window's root).
[[nodiscard]] Microsoft::WRL::ComPtr<IRawElementProviderSimple> MakeUiaElement(
    std::shared_ptr<UiaBridge> bridge, std::uint32_t id);

[[nodiscard]] VARIANT BoolVariant(bool value);
[[nodiscard]] VARIANT IntVariant(LONG value);
[[nodiscard]] VARIANT DoubleVariant(double value);
// Owns a new BSTR: clear it with VariantClear.
[[nodiscard]] VARIANT StringVariant(std::u16string_view text);

}  // namespace lumetta
