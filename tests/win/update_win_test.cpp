#include "update/update_check_win.h"

#include <winhttp.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <tuple>

#include "support/logging_test.h"
#include "support/loopback_responder.h"

namespace lumetta {
namespace {

// Points the feed variable at `url` until the test ends.
class UpdateOverHttp : public test::LoggingTest {
 protected:
  void TearDown() override { SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr); }
  static void PointAt(const std::wstring& url) {
    SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", url.c_str());
  }
  std::optional<test::LoopbackResponder> server_{std::in_place};
};

// Each fetch asks the variable's address: a body up to the cap and not a byte over it, no body
// for another status, and a port nobody listens on.
TEST_F(UpdateOverHttp, FetchesTheVariablesAddressWithinTheCap) {
  std::string atCap(kFeedMaxBytes, ' ');
  for (std::size_t i = 0; i < atCap.size(); ++i) {
    atCap[i] = static_cast<char>('a' + i % 26);
  }
  const std::wstring refused = L"http://127.0.0.1:1/version.json";
  const struct {
    int status;
    std::string body;
    std::uint32_t error;
    std::optional<std::size_t> bodyBytes;
  } cases[] = {{200, atCap, 0, kFeedMaxBytes},
               {200, atCap + "z", ERROR_FILE_TOO_LARGE, std::nullopt},
               {404, "missing", 0, std::nullopt},
               {0, "", ERROR_WINHTTP_CANNOT_CONNECT, std::nullopt}};
  for (const auto& c : cases) {
    PointAt(c.status == 0 ? refused : server_->Url());
    if (c.status != 0) {
      server_->Answer(c.status, c.body);
    }
    FetchCancel cancel;
    const FetchResult got = FetchFeed(FeedUrlFromEnvironment(), cancel);
    const std::optional<std::size_t> bytes =
        got.body ? std::optional(got.body->size()) : std::nullopt;
    EXPECT_EQ(
        std::tuple(got.error, got.httpStatus, bytes),
        std::tuple(c.error, c.status == 0 ? 0u : static_cast<std::uint32_t>(c.status), c.bodyBytes))
        << c.status;
    EXPECT_TRUE(!got.body || *got.body == c.body);
  }
}

// A server that takes the request and never answers must not hold the card's exit: destroying
// the checker cancels the fetch, which then logs nothing. (Uncancelled, Wine's fetch waits until
// the server goes, which ends it here.)
TEST_F(UpdateOverHttp, DestroyingTheCheckerCancelsAFetchThatNeverAnswers) {
  PointAt(server_->Url());
  auto checker = std::make_unique<Win32UpdateChecker>(nullptr, WM_APP);
  checker->checker().Submit();
  ASSERT_TRUE(server_->Pending(20000)) << "the fetch never connected";
  auto destroyed = std::async(std::launch::async, [&] { checker.reset(); });
  const bool prompt = destroyed.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  server_.reset();
  destroyed.wait();
  EXPECT_TRUE(prompt) << "the fetch held the checker's destruction";
  EXPECT_TRUE(Events().empty());
}

}  // namespace
}  // namespace lumetta
