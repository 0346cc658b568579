#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "e2e/harness.h"
#include "settings/settings.h"
#include "probe/probe.h"
#include "support/test_files.h"

namespace lumetta::e2e {
namespace {

constexpr DWORD kTimeoutMs = 30000;

std::optional<Settings> SavedSettings() {
  const std::string text = test::ReadAll(DataFolder() / L"settings.json");
  const SettingsRead read = SettingsFromJson(text);
  if (text.empty() || read.unreadable) {
    return std::nullopt;
  }
  return read.settings;
}

using Card = E2eTest;

// Under Xvfb without a window manager the system move loop is cancelled at once, so the drag
// itself is the window's move and its end is the end-of-move message.
void Drag(HWND card, int x, int y) {
  SetWindowPos(card, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(card, WM_EXITSIZEMOVE, 0, 0);
}

// Snapping off leaves the card where it was dropped; turning it on from the menu moves a card
// resting near an edge and saves where it now rests, as every later drag does.
TEST_F(Card, DragsAndSnappingSaveWhereTheCardRests) {
  HWND card = Start(R"({"snapToEdges": false})");
  ASSERT_NE(card, nullptr);
  const RECT area = WorkArea();
  const LONG nearX = area.right - 190 - 20;
  const LONG snappedX = area.right - 190 - 8;
  const auto savedAt = [](LONG x, LONG y) {
    const std::optional<Settings> saved = SavedSettings();
    return saved && saved->hasWindowPosition && saved->windowX == x && saved->windowY == y;
  };
  Drag(card, nearX, area.top + 10);
  EXPECT_EQ(Rect(card).left, nearX);
  EXPECT_TRUE(savedAt(nearX, area.top + 10));
  // Snap to screen edges is the second item.
  ASSERT_TRUE(ChooseFromMenu(card, {VK_HOME, VK_DOWN, VK_RETURN},
                             [] { return SavedSettings() && SavedSettings()->snapToEdges; }));
  EXPECT_EQ(Rect(card).left, snappedX);
  EXPECT_EQ(Rect(card).top, area.top + 8);
  EXPECT_TRUE(savedAt(snappedX, area.top + 8));

  Drag(card, 300, 200);  // far from every edge
  EXPECT_EQ(Rect(card).left, 300);
  EXPECT_TRUE(savedAt(300, 200));
  Drag(card, nearX, area.top + 10);
  EXPECT_TRUE(savedAt(snappedX, area.top + 8));
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

// Hovering shows the buttons; a click on the Settings button opens the dialog.
HWND OpenSettingsFromTheCard(HWND card) {
  DWORD owner = 0;
  GetWindowThreadProcessId(card, &owner);
  HWND dialog = nullptr;
  for (int attempt = 0; attempt < 5 && dialog == nullptr; ++attempt) {
    // A pointer that does not move is not noticed: each attempt moves it a little.
    const RECT rect = Rect(card);
    const int x = 149 + attempt * 3;
    SetCursorPos(rect.left + x, rect.top + 12);
    Sleep(100);
    SendMessageW(card, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(rect.left + x, rect.top + 12));
    PostMessageW(card, WM_LBUTTONUP, 0, MAKELPARAM(x, 12));
    WaitUntil(
        [&] {
          HWND found = test::FindWindowOf(owner, L"LumettaSettingsWindow");
          dialog = found != nullptr && IsWindowVisible(found) ? found : nullptr;
          return dialog != nullptr;
        },
        3000);
  }
  return dialog;
}

TEST_F(Card, SettingsChangesTakeEffectAtOnce) {
  HWND card = Start();
  ASSERT_NE(card, nullptr);
  HWND dialog = OpenSettingsFromTheCard(card);
  ASSERT_NE(dialog, nullptr);
  RECT client{};
  GetClientRect(dialog, &client);
  EXPECT_EQ(client.right, 400);
  EXPECT_EQ(client.bottom, 660);

  // Tab from no focus takes "Clock"; Space turns it off.
  SendMessageW(dialog, WM_KEYDOWN, VK_TAB, 0);
  SendMessageW(dialog, WM_KEYDOWN, VK_SPACE, 0);
  ASSERT_TRUE(SavedSettings());
  EXPECT_FALSE(SavedSettings()->showClock);

  // The CPU switch (third switch row, centred at y 149): the card loses its CPU section.
  const int before = Height(card);
  SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 149));
  SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(100, 149));
  EXPECT_TRUE(WaitUntil([&] { return Height(card) == before - 121; }));
  EXPECT_FALSE(SavedSettings()->showCpu);

  SendMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(IsWindow(dialog));
}

const std::regex kTimestamp(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z .*)");

using Lifecycle = E2eTest;

TEST_F(Lifecycle, AFirstStartLogsStartAndLanguageAndWmCloseEndsWithExit) {
  HWND card = Start();
  ASSERT_NE(card, nullptr);
  // The work area's top-right corner.
  EXPECT_EQ(std::pair(Rect(card).left, Rect(card).top),
            std::pair(WorkArea().right - 190 - 8, WorkArea().top + 8));

  ASSERT_TRUE(WaitForLogLine("strings language", kTimeoutMs));
  std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(std::regex_match(lines[0], kTimestamp));
  EXPECT_TRUE(lines[0].ends_with("Z INFO  app start version=0.9.0 build=2")) << lines[0];
  EXPECT_TRUE(lines[1].ends_with("Z INFO  strings language lang=en")) << lines[1];

  EXPECT_TRUE(probe::PostClose(card));
  EXPECT_EQ(app_->WaitForExit(kTimeoutMs), 0u);
  lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines.back().ends_with("Z INFO  app exit")) << lines.back();
  EXPECT_EQ(CountLogLines(" app "), 2);
}

TEST_F(Lifecycle, ASecondStartBeforeAnyWindowExitsQuietly) {
  // Holding the instance mutex here stands for a first copy that has no window yet.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\com.norvale.lumettawin");
  ASSERT_NE(mutex, nullptr);
  Lumetta second;
  EXPECT_EQ(second.WaitForExit(kTimeoutMs), 0u);
  CloseHandle(mutex);
  EXPECT_EQ(FindWindowW(kMonitorWindowClass, nullptr), nullptr);
  const std::vector<std::string> lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines.back().ends_with(" INFO  app already_running"));
}

// A settings file edited by hand places, sizes and unpins the card.
TEST_F(Lifecycle, AnEditedSettingsFileShapesTheCard) {
  HWND card =
      Start(R"({"displayScale": 1.5, "windowX": 100, "windowY": 200, "alwaysOnTop": false})");
  ASSERT_NE(card, nullptr);
  // 190 DIPs wide at 1.5, 500 DIPs of sections.
  EXPECT_EQ((std::vector<LONG>{Rect(card).left, Rect(card).top, Width(card), Height(card)}),
            (std::vector<LONG>{100, 200, 285, 750}));
  EXPECT_FALSE(Topmost(card));
}

}  // namespace
}  // namespace lumetta::e2e
