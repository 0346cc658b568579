#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <regex>
#include <thread>

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
bool SavedAt(LONG x, LONG y) {
  const std::optional<Settings> saved = SavedSettings();
  return saved && saved->hasWindowPosition && saved->windowX == x && saved->windowY == y;
}

bool InMoveLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
         (info.flags & GUI_INMOVESIZE) != 0 && info.hwndMoveSize == window;
}

// Xvfb has no window manager to keep a move loop: a drag is a move, then the end-of-move message.
void Drag(HWND card, int x, int y) {
  SetWindowPos(card, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendMessageW(card, WM_EXITSIZEMOVE, 0, 0);
}

// One way a user meets lumetta.exe: the settings file it starts with (none when empty), its
// update feed, and what the user then does and sees.
struct Scenario {
  const char* name;
  const char* settings;
  void (*run)(HWND card, E2eTest& test);
  bool silentFeed = false;  // the feed accepts and never answers, instead of refusing
  // Where the pointer rests as the card starts, if anywhere.
  std::optional<POINT> pointer = std::nullopt;
};

class Card : public E2eTest, public testing::WithParamInterface<Scenario> {};

void FirstStart(HWND card, E2eTest&) {
  // The work area's top-right corner.
  EXPECT_EQ(std::pair(Rect(card).left, Rect(card).top),
            std::pair(WorkArea().right - 190 - 8, WorkArea().top + 8));
  ASSERT_TRUE(WaitUntil([] { return CountLogLines("strings language") == 1; }));
  const std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  const std::regex start(
      R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z INFO  app start version=0\.9\.0 build=2)");
  EXPECT_TRUE(std::regex_match(lines[0], start)) << lines[0];
  EXPECT_TRUE(lines[1].ends_with("Z INFO  strings language lang=en")) << lines[1];
}

// The file's scale, place and pin shape the card; Ctrl+wheel steps the scale up to two and saves
// it beside what the file said; a wheel without Ctrl or past two changes and writes nothing.
void CtrlWheel(HWND card, E2eTest&) {
  EXPECT_EQ(Place(card), (std::vector<LONG>{100, 200, 285, 750}));  // 190 × 500 DIPs at 1.5
  EXPECT_FALSE(Topmost(card));
  const auto wheel = [&](WORD keys) {
    SendMessageW(card, WM_MOUSEWHEEL, MAKEWPARAM(keys, 120), MAKELPARAM(150, 250));
  };
  wheel(MK_CONTROL);
  EXPECT_EQ(Place(card)[2], 333);  // 190 × 1.75, half a pixel up
  ASSERT_TRUE(SavedSettings());
  EXPECT_EQ(SavedSettings()->displayScale, 1.75);
  wheel(MK_CONTROL);
  EXPECT_EQ(Place(card)[2], 380);
  const std::string file = test::ReadAll(DataFolder() / L"settings.json");
  wheel(MK_CONTROL);
  wheel(0);
  EXPECT_EQ(Place(card)[2], 380);
  EXPECT_EQ(test::ReadAll(DataFolder() / L"settings.json"), file);
  EXPECT_EQ(SavedSettings()->displayScale, 2.0);
  EXPECT_FALSE(SavedSettings()->alwaysOnTop);
  EXPECT_TRUE(SavedAt(Rect(card).left, Rect(card).top));  // moved up to stay on the screen
}

// Settings from the card's menu: a key switches the clock off, a click switches the CPU off, and
// each is saved and shown at once.
void SettingsFromTheMenu(HWND card, E2eTest& test) {
  const DWORD pid = GetProcessId(test.app->process());
  HWND dialog = nullptr;
  // Settings… is the fourth item.
  ASSERT_TRUE(ChooseFromMenu(card, {VK_HOME, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}, [&] {
    dialog = test::FindWindowOf(pid, L"LumettaSettingsWindow");
    return dialog != nullptr && IsWindowVisible(dialog);
  }));
  // Tab from no focus takes "Clock"; Space switches it.
  SendMessageW(dialog, WM_KEYDOWN, VK_TAB, 0);
  SendMessageW(dialog, WM_KEYDOWN, VK_SPACE, 0);
  ASSERT_TRUE(SavedSettings());
  EXPECT_FALSE(SavedSettings()->showClock);
  EXPECT_TRUE(SavedSettings()->showCpu);
  // The CPU switch: the third switch row, centred at y 149.
  const LONG before = Place(card)[3];
  SendMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 149));
  SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(100, 149));
  EXPECT_FALSE(SavedSettings()->showCpu);
  EXPECT_TRUE(WaitUntil([&] { return Place(card)[3] < before; }));
  SendMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(IsWindow(dialog));
}

// Snapping off leaves the card where it was dropped; turning it on from the menu moves a card
// resting near an edge to the edge and saves where it now rests.
void SnappingTurnedOn(HWND card, E2eTest&) {
  const RECT area = WorkArea();
  const LONG nearX = area.right - 190 - 20;
  const LONG snappedX = area.right - 190 - 8;
  Drag(card, nearX, area.top + 10);
  EXPECT_TRUE(SavedAt(nearX, area.top + 10));
  // Snap to screen edges is the second item.
  ASSERT_TRUE(ChooseFromMenu(card, {VK_HOME, VK_DOWN, VK_RETURN},
                             [] { return SavedSettings() && SavedSettings()->snapToEdges; }));
  EXPECT_EQ(std::pair(Rect(card).left, Rect(card).top), std::pair(snappedX, area.top + 8));
  EXPECT_TRUE(SavedAt(snappedX, area.top + 8));
}

// Without a mouse: the menu's Move, then the arrow keys, then Enter; saved like a drag.
void KeyboardMove(HWND card, E2eTest&) {
  // Move is the third item. Wine may cancel the move loop as the menu's focus change settles;
  // the move is then chosen again and the step taken from where the card rests.
  const auto enterMove = [&] {
    return ChooseFromMenu(card, {VK_HOME, VK_DOWN, VK_DOWN, VK_RETURN},
                          [&] { return InMoveLoop(card); });
  };
  // One key at a time, as typed: each step starts from where the last one put the pointer.
  for (const WPARAM key : std::initializer_list<WPARAM>{VK_RIGHT, VK_RIGHT, VK_DOWN}) {
    bool moved = false;
    for (int attempt = 0; attempt < 3 && !moved; ++attempt) {
      ASSERT_TRUE(enterMove());
      const RECT before = Rect(card);
      PostMessageW(card, WM_KEYDOWN, key, 0);
      ASSERT_TRUE(WaitUntil([&] {
        moved = Rect(card).left != before.left || Rect(card).top != before.top;
        return moved || !InMoveLoop(card);
      }));
    }
    ASSERT_TRUE(moved);
  }
  ASSERT_TRUE(enterMove());
  PostMessageW(card, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(WaitUntil([&] { return !InMoveLoop(card); }));
  const RECT moved = Rect(card);
  EXPECT_TRUE(moved.left > 300 && moved.top > 200) << moved.left << "," << moved.top;
  EXPECT_EQ(moved.left - 300, 2 * (moved.top - 200));  // two steps right, one down
  EXPECT_TRUE(WaitUntil([&] { return SavedAt(moved.left, moved.top); }));
}

// The menu unpins the card; a second start then shows the hidden card, raises it for a while and
// exits; the menu's last item ends the first.
void UnpinSecondStartAndExit(HWND card, E2eTest& test) {
  EXPECT_TRUE(Topmost(card));
  // Home selects the first item, Always on top.
  ASSERT_TRUE(ChooseFromMenu(card, {VK_HOME, VK_RETURN}, [&] { return !Topmost(card); }));
  ASSERT_TRUE(WaitUntil([] { return SavedSettings().has_value(); }));
  EXPECT_FALSE(SavedSettings()->alwaysOnTop);

  ShowWindow(card, SW_HIDE);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(card); }));
  // Watched from before the second start, so that no part of the raise can pass unseen.
  std::atomic<bool> raised = false, lowered = false;
  std::thread watcher([&] {
    WaitUntil([&] { return raised = IsWindowVisible(card) && Topmost(card); }, kTimeoutMs);
    lowered = raised && WaitUntil([&] { return !Topmost(card); }, kTimeoutMs);
  });
  Lumetta second(test.feed);
  EXPECT_EQ(second.WaitForExit(kTimeoutMs), 0u);
  watcher.join();
  EXPECT_TRUE(raised) << "the second start did not raise the card";
  EXPECT_TRUE(lowered) << "still raised after the reveal";
  EXPECT_EQ(CountLogLines(" INFO  app start "), 2);
  EXPECT_EQ(CountLogLines(" INFO  app already_running"), 1);

  // End selects the last item, Exit Lumetta.
  HANDLE process = test.app->process();
  ASSERT_TRUE(ChooseFromMenu(card, {VK_END, VK_RETURN},
                             [&] { return WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }));
  EXPECT_EQ(test.app->WaitForExit(kTimeoutMs), 0u);
  const std::vector<std::string> lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines.back().ends_with(" INFO  app exit")) << lines.back();
}

// An update check that the feed never answers does not hold up the exit until WinHTTP's own
// 15-second time-outs end it: the card's part of the exit is done well before.
void ExitWhileTheFeedNeverAnswers(HWND card, E2eTest& test) {
  ASSERT_TRUE(WaitUntil([&] { return test.feed.Pending(0); }));
  EXPECT_TRUE(probe::PostClose(card));
  EXPECT_TRUE(WaitUntil([] { return CountLogLines(" INFO  app exit") == 1; }, 10000));
  EXPECT_EQ(test.app->WaitForExit(kTimeoutMs), 0u);
}

const Scenario kScenarios[] = {
    {"FirstStartPlacesTheCardAndLogsStartAndLanguage", "", FirstStart},
    {"CtrlWheelScalesFromTheFilesScaleAndKeepsItsPin",
     R"({"displayScale": 1.5, "windowX": 100, "windowY": 200, "alwaysOnTop": false,
         "snapToEdges": false})",
     CtrlWheel},
    {"SettingsFromTheMenuByKeyAndClickAreShownAndSaved", "", SettingsFromTheMenu},
    {"SnappingTurnedOnSavesTheSnappedPlace", R"({"snapToEdges": false})", SnappingTurnedOn},
    {"TheKeyboardMovesTheCardFromTheMenu",
     R"({"snapToEdges": false, "windowX": 300, "windowY": 200})", KeyboardMove, false,
     // The caption's middle, where the move loop puts the pointer: the move then warps it
     // nowhere, and no late report of that warp can pull the card back after a key.
     POINT{300 + 190 / 2, 200 + 10}},
    {"TheMenuUnpinsASecondStartRevealsAndTheMenuExits", "", UnpinSecondStartAndExit},
    {"ExitIsPromptWhileTheFeedNeverAnswers", "", ExitWhileTheFeedNeverAnswers, true},
};

TEST_P(Card, Scenario) {
  const Scenario& scenario = GetParam();
  if (scenario.silentFeed) {
    ASSERT_TRUE(feed.Listen());
  }
  if (const std::optional<POINT> at = scenario.pointer) {
    ASSERT_TRUE(SetCursorPos(at->x, at->y));
  }
  HWND card = Start(scenario.settings);
  ASSERT_NE(card, nullptr);
  scenario.run(card, *this);
}

INSTANTIATE_TEST_SUITE_P(Lumetta, Card, testing::ValuesIn(kScenarios),
                         [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace lumetta::e2e
