#include <windows.h>

#include <gtest/gtest.h>

#include "card/card_layout.h"
#include "e2e/harness.h"
#include "support/feed_server.h"
#include "support/probe.h"

namespace lumetta::e2e {
namespace {

constexpr DWORD kTimeoutMs = 30000;

int CardHeight(HWND card) {
  const RECT rect = probe::CardRect(card).value_or(RECT{});
  return rect.bottom - rect.top;
}

class UpdateFeed : public E2eTest {
 protected:
  void SetUp() override {
    E2eTest::SetUp();
    SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", server_.Url().c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr);
    E2eTest::TearDown();
  }
  test::FeedServer server_;
};

TEST_F(UpdateFeed, ARequiredUpdatePutsTheRedLineAboveTheClock) {
  server_.Answer(200, R"({"latestVersion": "1.0.0", "url": "https://example.invalid/get",
                         "minimumVersion": "0.9.1"})");
  Lumetta app;
  HWND card = probe::WaitForCard(kTimeoutMs);
  ASSERT_NE(card, nullptr);
  ASSERT_TRUE(WaitForLogLine("INFO  update required latest=1.0.0", kTimeoutMs));
  const float plain =
      StackSections(CardSections(DefaultSettings(), UpdateState::None, std::nullopt)).totalHeight;
  // The update line (16) and the divider below it (21) are added.
  const int expected = static_cast<int>(plain) + 16 + 21;
  const ULONGLONG deadline = GetTickCount64() + 5000;
  while (CardHeight(card) != expected && GetTickCount64() < deadline) {
    Sleep(20);
  }
  EXPECT_EQ(CardHeight(card), expected);

  // The next check (timer 3) finds the same state: nothing new is logged.
  PostMessageW(card, WM_TIMER, 3, 0);
  const ULONGLONG again = GetTickCount64() + kTimeoutMs;
  while (CountLogLines("INFO  update checked latest=1.0.0") < 2 && GetTickCount64() < again) {
    Sleep(50);
  }
  Sleep(300);
  EXPECT_EQ(CountLogLines("INFO  update checked latest=1.0.0"), 2);
  EXPECT_EQ(CountLogLines("INFO  update required"), 1);
  EXPECT_EQ(CardHeight(card), expected);
}

TEST_F(UpdateFeed, ANewerVersionAloneLeavesTheCardAsItWas) {
  server_.Answer(200, R"({"latestVersion": "0.9.5", "url": "https://example.invalid/get"})");
  Lumetta app;
  HWND card = probe::WaitForCard(kTimeoutMs);
  ASSERT_NE(card, nullptr);
  ASSERT_TRUE(WaitForLogLine("INFO  update available latest=0.9.5", kTimeoutMs));
  Sleep(300);
  const float plain =
      StackSections(CardSections(DefaultSettings(), UpdateState::None, std::nullopt)).totalHeight;
  EXPECT_EQ(CardHeight(card), static_cast<int>(plain));
  EXPECT_EQ(CountLogLines("INFO  update required"), 0);
}

TEST_F(UpdateFeed, AFailingFeedShowsNothing) {
  server_.Answer(404, "gone");
  Lumetta app;
  HWND card = probe::WaitForCard(kTimeoutMs);
  ASSERT_NE(card, nullptr);
  ASSERT_TRUE(WaitForLogLine("WARN  update http_status code=0x00000194", kTimeoutMs));
  EXPECT_EQ(CountLogLines(" update available"), 0);
}

// A feed server that accepts and never answers must not hold the exit for the fetch's
// time-outs: closing the card cancels the fetch.
TEST_F(UpdateFeed, ClosingDoesNotWaitForAFeedThatNeverAnswers) {
  server_.Hang();
  Lumetta app;
  HWND card = probe::WaitForCard(kTimeoutMs);
  ASSERT_NE(card, nullptr);
  const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
  while (server_.requests() == 0 && GetTickCount64() < deadline) {
    Sleep(20);
  }
  ASSERT_EQ(server_.requests(), 1);
  Sleep(200);  // the request is now waiting for its answer
  const ULONGLONG closing = GetTickCount64();
  ASSERT_TRUE(probe::PostClose(card));
  EXPECT_EQ(app.WaitForExit(3000), 0u) << "still running after 3 s";
  RecordProperty("exit_ms", static_cast<int>(GetTickCount64() - closing));
  EXPECT_EQ(CountLogLines(" update fetch_failed"), 0);
}

}  // namespace
}  // namespace lumetta::e2e
