#include "update/update_check_win.h"

#include <gtest/gtest.h>

#include "app/log_win.h"
#include "base/wide.h"
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

class UpdateOverHttp : public testing::Test {
 protected:
  void SetUp() override {
    OpenLog((dir_.path() / L"app.log").wstring());
    SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", server_.Url().c_str());
  }
  void TearDown() override { SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr); }
  std::vector<std::string> Events() const { return test::LogEvents(dir_.path() / L"app.log"); }

  test::TempDir dir_;
  test::FeedServer server_;
  InlineUpdates platform_;
  UpdateChecker checker_{platform_};
};

TEST_F(UpdateOverHttp, AnswersBecomeEvents) {
  server_.Answer(200, kFeed);
  checker_.Submit();
  server_.Answer(404, "missing");
  checker_.Submit();
  checker_.Submit();  // the same failure again: not logged again
  server_.Answer(200, "<html>not a feed</html>");
  checker_.Submit();
  server_.Answer(200, kFeed);
  checker_.Submit();
  EXPECT_EQ(server_.requests(), 5);
  EXPECT_EQ(Events(), (std::vector<std::string>{
                          "INFO  update checked latest=1.2.0",
                          "WARN  update http_status code=0x00000194",
                          "WARN  update invalid_feed code=0x0000000D",
                          "INFO  update recovered",
                          "INFO  update checked latest=1.2.0",
                      }));
  ASSERT_TRUE(checker_.CopyInfo());
  EXPECT_EQ(checker_.CopyInfo()->url, u"https://example.invalid/get");
}

TEST_F(UpdateOverHttp, TheBodyIsCappedAtSixtyFourKibibytes) {
  std::string exact = kFeed;
  exact.resize(kFeedMaxBytes, ' ');
  server_.Answer(200, exact);
  checker_.Submit();
  EXPECT_TRUE(checker_.LastCheckSucceeded());
  std::string large = kFeed;
  large.resize(70000, ' ');
  server_.Answer(200, large);
  checker_.Submit();
  EXPECT_FALSE(checker_.LastCheckSucceeded());
  EXPECT_EQ(Events().back(), "WARN  update fetch_failed code=0x000000DF");
}

TEST_F(UpdateOverHttp, ARefusedConnectionIsLoggedOnceWithWinHttpsCode) {
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", L"http://127.0.0.1:1/version.json");
  checker_.Submit();
  checker_.Submit();
  EXPECT_EQ(Events(), std::vector<std::string>{"WARN  update fetch_failed code=0x00002EFD"});
}

TEST_F(UpdateOverHttp, TheAddressComesFromTheEnvironment) {
  EXPECT_EQ(FeedUrlFromEnvironment(), std::u16string(AsU16(server_.Url())));
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", L"");
  EXPECT_EQ(FeedUrlFromEnvironment(), kDefaultFeedUrl);
  EXPECT_TRUE(kDefaultFeedUrl.starts_with(u"https://"));
  EXPECT_TRUE(kDefaultFeedUrl.ends_with(u"/lumettawin/version.json"));
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", std::wstring(2048, L'x').c_str());
  EXPECT_EQ(FeedUrlFromEnvironment(), kDefaultFeedUrl);
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
