#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "settings/settings.h"
#include "support/test_files.h"

namespace lumetta::e2e {
namespace {

constexpr DWORD kTimeoutMs = 30000;

std::optional<Settings> SavedSettings() {
  // No file reads as unreadable too.
  const SettingsRead read = SettingsFromJson(test::ReadAll(DataFolder() / L"settings.json"));
  return read.unreadable ? std::nullopt : std::optional(read.settings);
}

using Card = E2eTest;

bool InMoveLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
         (info.flags & GUI_INMOVESIZE) != 0 && info.hwndMoveSize == window;
}

// Without a mouse: the menu's Move, then the arrow keys, then Enter; saved like a drag.
TEST_F(Card, TheKeyboardMovesTheCardFromTheMenu) {
  HWND card = Start(R"({"snapToEdges": false, "windowX": 300, "windowY": 200})");
  ASSERT_NE(card, nullptr);
  // Move is the third item.
  ASSERT_TRUE(ChooseFromMenu(card, {VK_HOME, VK_DOWN, VK_DOWN, VK_RETURN},
                             [&] { return InMoveLoop(card); }));
  // One key at a time, as typed: each step starts from where the last one put the pointer.
  for (const WPARAM key : std::initializer_list<WPARAM>{VK_RIGHT, VK_RIGHT, VK_DOWN}) {
    const RECT before = Rect(card);
    PostMessageW(card, WM_KEYDOWN, key, 0);
    ASSERT_TRUE(
        WaitUntil([&] { return Rect(card).left != before.left || Rect(card).top != before.top; }));
  }
  PostMessageW(card, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(WaitUntil([&] { return !InMoveLoop(card); }));
  const RECT moved = Rect(card);
  EXPECT_GT(moved.left, 300);
  EXPECT_GT(moved.top, 200);
  EXPECT_EQ(moved.left - 300, 2 * (moved.top - 200));  // two steps right, one down
  ASSERT_TRUE(WaitUntil([&] { return SavedSettings() && SavedSettings()->windowX == moved.left; }));
  EXPECT_EQ(SavedSettings()->windowY, moved.top);
}

// The menu unpins the card; a second start then shows the hidden card, raises it for three
// seconds and exits; the menu's last item ends the first.
TEST_F(Card, TheMenuUnpinsASecondStartRevealsAndRaisesAndTheMenuExits) {
  HWND card = Start();
  ASSERT_NE(card, nullptr);
  EXPECT_TRUE(Topmost(card));
  // Home selects the first item, Always on top.
  ASSERT_TRUE(ChooseFromMenu(card, {VK_HOME, VK_RETURN}, [&] { return !Topmost(card); }));
  ASSERT_TRUE(WaitUntil([] { return SavedSettings().has_value(); }));
  EXPECT_FALSE(SavedSettings()->alwaysOnTop);

  ShowWindow(card, SW_HIDE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(card); }));
  Lumetta second;
  EXPECT_EQ(second.WaitForExit(kTimeoutMs), 0u);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(card) && Topmost(card); }, 3000));
  EXPECT_TRUE(WaitUntil([&] { return !Topmost(card); }, 6000)) << "still raised after the reveal";
  EXPECT_EQ(CountLogLines(" INFO  app start "), 2);
  EXPECT_EQ(CountLogLines(" INFO  app already_running"), 1);

  // End selects the last item, Exit Lumetta.
  HANDLE process = app_->process();
  ASSERT_TRUE(ChooseFromMenu(card, {VK_END, VK_RETURN},
                             [&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }));
  EXPECT_EQ(app_->WaitForExit(kTimeoutMs), 0u);
  EXPECT_TRUE(LogLines().back().ends_with(" INFO  app exit")) << LogLines().back();
}

}  // namespace
}  // namespace lumetta::e2e
