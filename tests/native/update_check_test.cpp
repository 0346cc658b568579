#include "update/update_check.h"

#include <gtest/gtest.h>

#include <deque>
#include <utility>

#include "support/log_capture.h"

namespace lumetta {
namespace {

TEST(IsOlderVersion, ComponentRules) {
  const struct {
    std::u16string_view a, b;
    bool older;
  } cases[] = {{u"0.9.0", u"0.9", false},
               {u"0.9.0", u"0.10.0", true},
               {u"0.9.0", u"0.9.0.1", true},
               {u"0.9.0", u"r1.0", false},
               {u"1.2", u"1.10", true},
               {u"1-beta", u"1", true},
               {u"0", u"1-beta", false},
               {u"", u"0.0.1", true},
               {u"1..2", u"1.0.2", false},
               {u"1.", u"1.0", false},
               {u"4294967295", u"99999999999", false},  // saturates at the 32-bit maximum
               {u"4294967294", u"99999999999", true},
               {u"1 .0", u"1.0", true},
               {u"0", u"0.9.0", true}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsOlderVersion(c.a, c.b), c.older)
        << std::string(c.a.begin(), c.a.end()) << " vs " << std::string(c.b.begin(), c.b.end());
  }
}

TEST(ParseFeed, Validation) {
  const auto feed = ParseFeed(
      R"({"latestVersion": "1.2.0", "url": "https://example.invalid/d", "notes": [1], "x": 2})");
  ASSERT_TRUE(feed);
  EXPECT_EQ((std::vector{feed->latestVersion, feed->url, feed->minimumVersion}),
            (std::vector<std::u16string>{u"1.2.0", u"https://example.invalid/d", u""}));
  EXPECT_EQ(ParseFeed(R"({"latestVersion": "1", "url": "https://a", "minimumVersion": "0.9.1"})")
                ->minimumVersion,
            u"0.9.1");
  for (std::string_view invalid :
       {R"({"latestVersion": "1.2.0"})",
        R"({"latestVersion": "1.2.0", "url": "http://example.invalid/d"})",
        R"({"latestVersion": "1.2.0", "url": "HTTPS://example.invalid"})",
        R"({"latestVersion": "", "url": "https://example.invalid"})",
        R"({"latestVersion": 1.0, "url": "https://example.invalid"})",
        R"({"latestVersion": "1", "url": ["https://example.invalid"]})",
        R"({"latestVersion": "1", "url": "https://"})",
        R"({"latestVersion": "1", "url": "https:///path"})",
        R"({"latestVersion": "1", "url": "https://user@:443/"})",
        R"({"latestVersion": "1", "url": "https://exa mple.invalid"})",
        R"({"latestVersion": "1", "url": "https://a.invalid/\" --x"})",
        R"({"latestVersion": "1", "url": "https://a.invalid/\u0001"})",
        R"({"latestVersion": "1", "url": "https://a.invalid/\u007f"})", R"(["latestVersion"])"}) {
    EXPECT_FALSE(ParseFeed(invalid)) << invalid;
  }
  EXPECT_TRUE(ParseFeed(R"({"latestVersion": "1", "url": "https://a", "minimumVersion": 3})"));
  EXPECT_TRUE(ParseFeed(R"({"latestVersion": "1", "url": "https://u@a.invalid:8443/g?x=1#y!"})"));
}

// Runs each check inline with scripted fetch results; a held check runs when finished or
// cancelled, as a fetch does whose handles were closed.
class ScriptedUpdates final : public UpdatePlatform {
 public:
  std::deque<FetchResult> results;
  std::uint32_t createError = 0;
  int submits = 0, notified = 0, cancels = 0, closes = 0;
  bool hold = false;
  std::function<void()> held;

  std::uint32_t CreateWork(std::function<void()> work) override {
    callback_ = std::move(work);
    return createError;
  }
  void SubmitWork() override {
    ++submits;
    hold ? void(held = callback_) : callback_();
  }
  void CloseWork() override { ++closes; }
  void CancelFetch() override {
    ++cancels;
    Finish();
  }
  void Finish() {
    if (const std::function<void()> run = std::exchange(held, nullptr)) {
      run();
    }
  }
  std::u16string FeedUrl() override { return u"https://feed.invalid/lumettawin/version.json"; }
  FetchResult Fetch(const std::u16string&) override {
    FetchResult result = results.front();
    results.pop_front();
    return result;
  }
  void NotifyDone() override { ++notified; }

 private:
  std::function<void()> callback_;
};

FetchResult Body(std::string body) {
  return {0, 200, std::move(body)};
}

TEST(UpdateChecker, FailuresAreLatchedAndTheLastGoodFeedIsKept) {
  test::ClearCapturedEvents();
  ScriptedUpdates platform;
  platform.results = {Body(R"({"latestVersion": "1.0", "url": "https://a"})"),
                      {12029, 0, std::nullopt},
                      {12029, 0, std::nullopt},
                      {0, 404, std::nullopt},
                      Body("not a feed"),
                      Body(R"({"latestVersion": "1.1", "url": "https://b"})")};
  UpdateChecker checker(platform);
  checker.Submit();
  EXPECT_TRUE(checker.LastCheckSucceeded());
  for (int i = 0; i < 4; ++i) {
    checker.Submit();
    EXPECT_FALSE(checker.LastCheckSucceeded());
    ASSERT_TRUE(checker.CopyInfo());
    EXPECT_EQ(checker.CopyInfo()->latestVersion, u"1.0");  // a failure keeps what was known
  }
  checker.Submit();
  EXPECT_EQ(checker.CopyInfo()->latestVersion, u"1.1");
  EXPECT_EQ(platform.notified, 6);
  EXPECT_EQ(
      test::CapturedLines(),
      (std::vector<std::string>{
          "INFO  update checked latest=1.0", "WARN  update fetch_failed code=0x00002EFD",
          "WARN  update http_status code=0x00000194", "WARN  update invalid_feed code=0x0000000D",
          "INFO  update recovered", "INFO  update checked latest=1.1"}));
}

TEST(UpdateChecker, OneCheckAtATimeAndNoneWithoutWork) {
  test::ClearCapturedEvents();
  ScriptedUpdates platform;
  platform.hold = true;
  UpdateChecker checker(platform);
  checker.Submit();
  checker.Submit();
  EXPECT_EQ(platform.submits, 1);
  platform.results = {Body(R"({"latestVersion": "1.0", "url": "https://a"})")};
  platform.Finish();
  checker.Submit();
  EXPECT_EQ(platform.submits, 2);

  // Destroyed mid-check: the fetch is cancelled and its end reports nothing.
  {
    test::ClearCapturedEvents();
    UpdateChecker closing(platform);
    closing.Submit();
    platform.results = {FetchResult{12017, 0, std::nullopt}};
  }
  EXPECT_EQ(std::tuple(platform.cancels, platform.closes, platform.notified, test::CapturedLines()),
            std::tuple(1, 1, 1, std::vector<std::string>{}));

  ScriptedUpdates broken;
  broken.createError = 8;
  UpdateChecker without(broken);
  without.Submit();
  EXPECT_EQ(broken.submits, 0);
  EXPECT_EQ(test::CapturedLines().back(), "ERROR update work_create_failed code=0x00000008");
}

// Each state is logged once per change; an unreadable own version must not make every feed
// look newer: nothing is shown, and that is logged once.
TEST(UpdateStatus, EachStateIsLoggedOncePerChange) {
  test::ClearCapturedEvents();
  const UpdateInfo required{u"1.0", u"https://a", u"0.9.1"};
  const UpdateInfo available{u"1.0", u"https://a", u""};
  const std::optional<std::u16string> own = u"0.9.0";
  UpdateStatus status;
  EXPECT_TRUE(status.Take(own, required));
  EXPECT_EQ(status.state(), UpdateState::Required);
  EXPECT_FALSE(status.Take(own, required));
  EXPECT_TRUE(status.Take(own, available));
  EXPECT_EQ(status.state(), UpdateState::Available);
  EXPECT_EQ(status.info()->url, u"https://a");
  EXPECT_TRUE(status.Take(own, std::nullopt));
  EXPECT_EQ(status.state(), UpdateState::None);
  UpdateStatus unknown;
  EXPECT_FALSE(unknown.Take(std::nullopt, required));
  EXPECT_FALSE(unknown.Take(std::nullopt, available));
  EXPECT_EQ(unknown.state(), UpdateState::None);
  EXPECT_EQ(test::CapturedLines(), (std::vector<std::string>{"INFO  update required latest=1.0",
                                                             "INFO  update available latest=1.0",
                                                             "WARN  update own_version_unknown"}));
  EXPECT_EQ(std::pair(NextCheckDelayMs(true), NextCheckDelayMs(false)),
            std::pair(86'400'000u, 3'600'000u));
}

}  // namespace
}  // namespace lumetta
