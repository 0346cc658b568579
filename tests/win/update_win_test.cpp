#include "update/update_check_win.h"

#include <gtest/gtest.h>

#include "support/feed_server.h"
#include "support/logging_test.h"
#include "support/test_files.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

constexpr char kFeed[] = R"({"latestVersion": "1.2.0", "url": "https://example.invalid/get"})";

// The real checker: each check runs on the thread pool and posts its end to the window.
class UpdateOverHttp : public test::LoggingTest {
 protected:
  void SetUp() override {
    LoggingTest::SetUp();
    SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", server_.Url().c_str());
  }
  void TearDown() override { SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr); }
  // Runs one check and waits for the message that ends it.
  void Check() {
    pooled_.checker().Submit();
    MSG message{};
    ASSERT_TRUE(test::WaitUntil(
        [&] { return PeekMessageW(&message, window_.hwnd(), WM_APP + 2, WM_APP + 2, PM_REMOVE); },
        20000))
        << "no message from the pool";
  }

  test::FeedServer server_;
  test::TestWindow window_{700, 600, 10, 10};
  Win32UpdateChecker pooled_{window_.hwnd(), WM_APP + 2};
};

// Each answer once, a failure repeated is not logged again; bodies over 64 KiB are refused.
TEST_F(UpdateOverHttp, AnswersBecomeEvents) {
  std::string exact = kFeed, large = kFeed;
  exact.resize(kFeedMaxBytes, ' ');
  large.resize(70000, ' ');
  const std::pair<int, std::string> answers[] = {{200, exact},     {404, "missing"},
                                                 {404, "missing"}, {200, "<html>not a feed</html>"},
                                                 {200, kFeed},     {200, large}};
  for (const auto& [status, body] : answers) {
    server_.Answer(status, body);
    Check();
  }
  EXPECT_EQ(pooled_.checker().CopyInfo()->url, u"https://example.invalid/get");
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", L"http://127.0.0.1:1/version.json");
  Check();
  Check();
  EXPECT_EQ(server_.requests(), 6);
  EXPECT_EQ(Events(),
            (std::vector<std::string>{
                "INFO  update checked latest=1.2.0", "WARN  update http_status code=0x00000194",
                "WARN  update invalid_feed code=0x0000000D", "INFO  update recovered",
                "INFO  update checked latest=1.2.0", "WARN  update fetch_failed code=0x000000DF",
                "WARN  update fetch_failed code=0x00002EFD"}));
  // The address: the variable's, else the default one, which a 2048-character value also gets.
  EXPECT_EQ(FeedUrlFromEnvironment(), u"http://127.0.0.1:1/version.json");
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", std::wstring(2048, L'x').c_str());
  EXPECT_EQ(FeedUrlFromEnvironment(), kDefaultFeedUrl);
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", L"");
  EXPECT_EQ(FeedUrlFromEnvironment(), kDefaultFeedUrl);
  EXPECT_TRUE(kDefaultFeedUrl.starts_with(u"https://") &&
              kDefaultFeedUrl.ends_with(u"/lumettawin/version.json"));
}

// A server that accepts and never answers must not hold the card's exit: destroying the checker
// cancels the fetch, which then logs nothing. (Uncancelled, under Wine it waits past CTest's
// limit.)
TEST_F(UpdateOverHttp, DestroyingTheCheckerCancelsAFetchThatNeverAnswers) {
  server_.Hang();
  auto checker = std::make_unique<Win32UpdateChecker>(window_.hwnd(), WM_APP + 3);
  checker->checker().Submit();
  ASSERT_TRUE(test::WaitUntil([&] { return server_.requests() == 1; }, 20000));
  Sleep(200);  // the request is now waiting for its answer
  const ULONGLONG closing = GetTickCount64();
  checker.reset();
  EXPECT_LT(GetTickCount64() - closing, 5000u);
  EXPECT_TRUE(Events().empty());
}

}  // namespace
}  // namespace lumetta
