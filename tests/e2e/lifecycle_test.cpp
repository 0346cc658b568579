#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "e2e/harness.h"

namespace lumetta::e2e {
namespace {

constexpr DWORD kExitTimeoutMs = 10000;
const std::regex kTimestamp(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z .*)");

using Lifecycle = E2eTest;

TEST_F(Lifecycle, AFirstStartLogsStartAndLanguageAndWmCloseEndsWithExit) {
  HWND card = Start();
  ASSERT_NE(card, nullptr);
  // The work area's top-right corner.
  EXPECT_EQ(std::pair(Rect(card).left, Rect(card).top),
            std::pair(WorkArea().right - 190 - 8, WorkArea().top + 8));

  ASSERT_TRUE(WaitForLogLine("strings language", kExitTimeoutMs));
  std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(std::regex_match(lines[0], kTimestamp));
  EXPECT_TRUE(lines[0].ends_with("Z INFO  app start version=0.9.0 build=2")) << lines[0];
  EXPECT_TRUE(lines[1].ends_with("Z INFO  strings language lang=en")) << lines[1];

  EXPECT_TRUE(probe::PostClose(card));
  EXPECT_EQ(app_->WaitForExit(kExitTimeoutMs), 0u);
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
  EXPECT_EQ(second.WaitForExit(kExitTimeoutMs), 0u);
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
