#include <gtest/gtest.h>

#include "card/monitor_window.h"
#include "support/factories.h"

namespace lumetta {
namespace {

// Refuses every window creation on this thread, as a system short of resources may, without
// leaving an error code behind.
LRESULT CALLBACK RefuseCreation(int code, WPARAM wParam, LPARAM lParam) {
  return code == HCBT_CREATEWND ? 1 : CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(CardWindow, AFailedCreationWithoutAnErrorCodeIsStillAFailure) {
  test::Factories factories;
  MonitorWindow card(factories.d2d.Get(), factories.dwrite.Get(), nullptr);
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
