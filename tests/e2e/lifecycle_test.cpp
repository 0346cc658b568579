#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "card/card_layout.h"
#include "e2e/harness.h"
#include "support/probe.h"

namespace lumetta::e2e {
namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 10000;
const std::regex kTimestamp(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z .*)");

bool WaitForVisible(HWND window, bool visible, DWORD timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  while ((IsWindowVisible(window) != FALSE) != visible) {
    if (GetTickCount64() >= deadline) {
      return false;
    }
    Sleep(20);
  }
  return true;
}

using Lifecycle = E2eTest;

TEST_F(Lifecycle, AFirstStartLogsStartAndLanguageAndWmCloseEndsWithExit) {
  Lumetta app(L"en");
  ASSERT_TRUE(app.started());
  HWND card = probe::WaitForCard(kStartTimeoutMs);
  ASSERT_NE(card, nullptr);
  EXPECT_TRUE(IsWindowVisible(card));
  const std::optional<RECT> rect = probe::CardRect(card);
  ASSERT_TRUE(rect);
  // The top-right corner of the work area, sized to its sections.
  const PixelSize size = CardWindowSize(
      96, 1.0,
      StackSections(CardSections(DefaultSettings(), UpdateState::None, std::nullopt)).totalHeight);
  EXPECT_EQ(size.height, 500);
  EXPECT_EQ(rect->left, WorkArea().right - 190 - 8);
  EXPECT_EQ(rect->top, WorkArea().top + 8);
  EXPECT_EQ(rect->right - rect->left, size.width);
  EXPECT_EQ(rect->bottom - rect->top, size.height);

  ASSERT_TRUE(WaitForLogLine("strings language", kExitTimeoutMs));
  std::vector<std::string> lines = LogLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_TRUE(std::regex_match(lines[0], kTimestamp));
  EXPECT_TRUE(lines[0].ends_with("Z INFO  app start version=0.9.0 build=2")) << lines[0];
  EXPECT_TRUE(lines[1].ends_with("Z INFO  strings language lang=en")) << lines[1];

  EXPECT_TRUE(probe::PostClose(card));
  EXPECT_EQ(app.WaitForExit(kExitTimeoutMs), 0u);
  lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines.back().ends_with("Z INFO  app exit")) << lines.back();
  EXPECT_EQ(CountLogLines(" app "), 2);
}

TEST_F(Lifecycle, LumettaLangJaChoosesJapanese) {
  Lumetta app(L"ja");
  ASSERT_NE(probe::WaitForCard(kStartTimeoutMs), nullptr);
  EXPECT_TRUE(WaitForLogLine("Z INFO  strings language lang=ja", kExitTimeoutMs));
}

TEST_F(Lifecycle, ASecondStartRevealsTheFirstAndExits) {
  Lumetta first;
  HWND card = probe::WaitForCard(kStartTimeoutMs);
  ASSERT_NE(card, nullptr);
  ShowWindow(card, SW_HIDE);
  ASSERT_TRUE(WaitForVisible(card, false, kExitTimeoutMs));

  const ULONGLONG started = GetTickCount64();
  Lumetta second;
  ASSERT_TRUE(second.started());
  EXPECT_EQ(second.WaitForExit(kExitTimeoutMs), 0u);
  const ULONGLONG elapsed = GetTickCount64() - started;
  RecordProperty("second_start_ms", static_cast<int>(elapsed));
  std::printf("second start ended after %llu ms\n", elapsed);

  EXPECT_TRUE(WaitForVisible(card, true, kExitTimeoutMs)) << "the reveal did not arrive";
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(CountLogLines(" INFO  app start "), 2);
  ASSERT_EQ(CountLogLines(" INFO  app already_running"), 1);
  EXPECT_TRUE(lines.back().ends_with(" INFO  app already_running"));
}

TEST_F(Lifecycle, ASecondStartBeforeAnyWindowExitsQuietly) {
  // Holding the instance mutex here stands for a first copy that has no window yet.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"Local\\com.norvale.lumettawin");
  ASSERT_NE(mutex, nullptr);
  Lumetta second;
  EXPECT_EQ(second.WaitForExit(kExitTimeoutMs), 0u);
  CloseHandle(mutex);
  EXPECT_EQ(FindWindowW(L"LumettaMonitorWindow", nullptr), nullptr);
  const std::vector<std::string> lines = LogLines();
  ASSERT_FALSE(lines.empty());
  EXPECT_TRUE(lines.back().ends_with(" INFO  app already_running"));
}

}  // namespace
}  // namespace lumetta::e2e
