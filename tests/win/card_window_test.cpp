#include <gtest/gtest.h>

#include "card/monitor_window.h"

namespace lumetta {
namespace {

using Microsoft::WRL::ComPtr;

// Refuses every window creation on this thread, as a system short of resources may, without
// leaving an error code behind.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
  return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(CardWindow, AFailedCreationWithoutAnErrorCodeIsStillAFailure) {
  ComPtr<ID2D1Factory> d2d;
  ComPtr<IDWriteFactory> dwrite;
  ASSERT_HRESULT_SUCCEEDED(
      D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, d2d.GetAddressOf()));
  ASSERT_HRESULT_SUCCEEDED(
      DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                          reinterpret_cast<IUnknown**>(dwrite.GetAddressOf())));
  MonitorWindow card(d2d.Get(), dwrite.Get(), nullptr);
  HHOOK hook = SetWindowsHookExW(WH_CBT, &RefuseCreation, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  SetLastError(0);
  const HRESULT created = card.Create(GetModuleHandleW(nullptr));
  UnhookWindowsHookEx(hook);
  EXPECT_TRUE(FAILED(created)) << std::hex << created;
  EXPECT_EQ(card.hwnd(), nullptr);
}

}  // namespace
}  // namespace lumetta
