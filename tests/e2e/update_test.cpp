#include <windows.h>

#include <gtest/gtest.h>

#include "e2e/harness.h"
#include "support/feed_server.h"

namespace lumetta::e2e {
namespace {

constexpr DWORD kTimeoutMs = 30000;

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

// A newer version alone leaves the card as it was; a required one adds the red line above the
// clock, once, however often it is checked again.
TEST_F(UpdateFeed, OnlyARequiredUpdateChangesTheCard) {
  server_.Answer(200, R"({"latestVersion": "0.9.5", "url": "https://example.invalid/get"})");
  HWND card = Start();
  ASSERT_NE(card, nullptr);
  ASSERT_TRUE(WaitForLogLine("INFO  update available latest=0.9.5", kTimeoutMs));
  Sleep(300);
  EXPECT_EQ(Height(card), 500);

  server_.Answer(200, R"({"latestVersion": "1.0.0", "url": "https://example.invalid/get",
                         "minimumVersion": "0.9.1"})");
  for (int check = 1; check <= 2; ++check) {
    PostMessageW(card, WM_TIMER, 3, 0);  // the update timer
    ASSERT_TRUE(WaitUntil(
        [&] { return CountLogLines("INFO  update checked latest=1.0.0") == check; }, kTimeoutMs));
    // The update line (16) and the divider below it (21).
    EXPECT_TRUE(WaitUntil([&] { return Height(card) == 500 + 16 + 21; }, 5000));
  }
  Sleep(300);
  EXPECT_EQ(CountLogLines("INFO  update required"), 1);
  EXPECT_EQ(Height(card), 500 + 16 + 21);
}

// A feed server that accepts and never answers must not hold the exit for the fetch's
// time-outs: closing the card cancels the fetch.
TEST_F(UpdateFeed, ClosingDoesNotWaitForAFeedThatNeverAnswers) {
  server_.Hang();
  HWND card = Start();
  ASSERT_NE(card, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return server_.requests() == 1; }, kTimeoutMs));
  Sleep(200);  // the request is now waiting for its answer
  const ULONGLONG closing = GetTickCount64();
  ASSERT_TRUE(probe::PostClose(card));
  EXPECT_EQ(app_->WaitForExit(3000), 0u) << "still running after 3 s";
  RecordProperty("exit_ms", static_cast<int>(GetTickCount64() - closing));
  EXPECT_EQ(CountLogLines(" update fetch_failed"), 0);
}

}  // namespace
}  // namespace lumetta::e2e
