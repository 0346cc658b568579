// One move-only owner for every kind of Windows handle: its traits name the empty value and
// how a handle of that kind is given back. Owners of kinds from other libraries (WinHTTP, WLAN,
// PDH) declare their traits where they are used.
#pragma once

#include <windows.h>

#include <objbase.h>

#include <utility>

namespace lumetta {

template <typename Traits>
class UniqueOwner {
 public:
  using Handle = typename Traits::Handle;

  UniqueOwner() = default;
  explicit UniqueOwner(Handle handle) : handle_(handle) {}
  UniqueOwner(UniqueOwner&& other) noexcept : handle_(other.release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    if (this != &other) {
      reset(other.release());
    }
    return *this;
  }
  UniqueOwner(const UniqueOwner&) = delete;
  UniqueOwner& operator=(const UniqueOwner&) = delete;
  ~UniqueOwner() { reset(); }

  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] bool Valid() const { return Traits::Valid(handle_); }
  explicit operator bool() const { return Valid(); }

  Handle release() { return std::exchange(handle_, Traits::Empty()); }
  void reset(Handle handle = Traits::Empty()) {
    const Handle old = std::exchange(handle_, handle);
    if (Traits::Valid(old)) {
      Traits::Close(old);
    }
  }
  // For calls that write a handle out: gives back the one held first.
  [[nodiscard]] Handle* put() {
    reset();
    return &handle_;
  }

 private:
  Handle handle_ = Traits::Empty();
};

// Traits of the common case: a null handle is empty.
template <typename H, auto kClose>
struct NullEmptyTraits {
  using Handle = H;
  static Handle Empty() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { kClose(handle); }
};

// Kernel objects; INVALID_HANDLE_VALUE is empty too.
struct KernelHandleTraits {
  using Handle = HANDLE;
  static Handle Empty() { return nullptr; }
  static bool Valid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
  static void Close(Handle handle) { CloseHandle(handle); }
};

using UniqueHandle = UniqueOwner<KernelHandleTraits>;
using UniqueIcon = UniqueOwner<NullEmptyTraits<HICON, &DestroyIcon>>;
using UniqueMenu = UniqueOwner<NullEmptyTraits<HMENU, &DestroyMenu>>;
using UniqueWinEventHook = UniqueOwner<NullEmptyTraits<HWINEVENTHOOK, &UnhookWinEvent>>;
using UniquePowerNotify =
    UniqueOwner<NullEmptyTraits<HPOWERNOTIFY, &UnregisterPowerSettingNotification>>;

// COM on this thread for the scope's life, given back only if it was taken.
class ComScope {
 public:
  explicit ComScope(DWORD flags) : result_(CoInitializeEx(nullptr, flags)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) {
      CoUninitialize();
    }
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  [[nodiscard]] HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

}  // namespace lumetta
