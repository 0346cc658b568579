#include "update/update_check_win.h"

#include <gtest/gtest.h>

#include "app/log_win.h"
#include "support/feed_server.h"
#include "support/test_files.h"
#include "support/test_window.h"

namespace lumetta {
namespace {

constexpr char kFeed[] = R"({"latestVersion": "1.2.0", "url": "https://example.invalid/get"})";

// Runs each check inline, but with the real address lookup and the real WinHTTP fetch.
class InlineUpdates final : public UpdatePlatform {
 public:
  std::uint32_t CreateWork(std::function<void()> callback) override {
    callback_ = std::move(callback);
    return 0;
  }
  void SubmitWork() override { callback_(); }
  void CloseWork() override {}
  void CancelFetch() override { cancel_.Cancel(); }
  std::u16string FeedUrl() override { return FeedUrlFromEnvironment(); }
  FetchResult Fetch(const std::u16string& url) override { return FetchFeed(url, cancel_); }
  void NotifyDone() override {}

 private:
  std::function<void()> callback_;
  FetchCancel cancel_;
};

class UpdateOverHttp : public test::LoggingTest {
 protected:
  void SetUp() override {
    LoggingTest::SetUp();
    SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", server_.Url().c_str());
  }
  void TearDown() override { SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr); }

  test::FeedServer server_;
  InlineUpdates platform_;
  UpdateChecker checker_{platform_};
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
    checker_.Submit();
  }
  EXPECT_EQ(checker_.CopyInfo()->url, u"https://example.invalid/get");
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", L"http://127.0.0.1:1/version.json");
  checker_.Submit();
  checker_.Submit();
  EXPECT_EQ(server_.requests(), 6);
  EXPECT_EQ(Events(), (std::vector<std::string>{
                          "INFO  update checked latest=1.2.0",
                          "WARN  update http_status code=0x00000194",
                          "WARN  update invalid_feed code=0x0000000D",
                          "INFO  update recovered",
                          "INFO  update checked latest=1.2.0",
                          "WARN  update fetch_failed code=0x000000DF",
                          "WARN  update fetch_failed code=0x00002EFD",
                      }));
  // The address: the variable's, else the default one, which a 2048-character value also gets.
  EXPECT_EQ(FeedUrlFromEnvironment(), u"http://127.0.0.1:1/version.json");
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", std::wstring(2048, L'x').c_str());
  EXPECT_EQ(FeedUrlFromEnvironment(), kDefaultFeedUrl);
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", L"");
  EXPECT_EQ(FeedUrlFromEnvironment(), kDefaultFeedUrl);
  EXPECT_TRUE(kDefaultFeedUrl.starts_with(u"https://") &&
              kDefaultFeedUrl.ends_with(u"/lumettawin/version.json"));
}

// The real checker runs on the thread pool and posts its result to the window.
TEST_F(UpdateOverHttp, ThePoolCheckPostsItsResult) {
  server_.Answer(200, kFeed);
  test::TestWindow window(700, 600, 10, 10);
  Win32UpdateChecker pooled(window.hwnd(), WM_APP + 2);
  pooled.checker().Submit();
  MSG message{};
  const ULONGLONG deadline = GetTickCount64() + 20000;
  bool posted = false;
  while (!posted && GetTickCount64() < deadline) {
    posted = PeekMessageW(&message, window.hwnd(), WM_APP + 2, WM_APP + 2, PM_REMOVE) != FALSE;
    Sleep(10);
  }
  EXPECT_TRUE(posted);
  EXPECT_TRUE(pooled.checker().LastCheckSucceeded());
}

}  // namespace
}  // namespace lumetta
