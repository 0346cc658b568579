#include "update/update_check_win.h"

#include <winhttp.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <utility>

#include "support/logging_test.h"
#include "support/loopback_responder.h"

namespace lumetta {
namespace {

class UpdateOverHttp : public test::LoggingTest {
 protected:
  void TearDown() override { SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", nullptr); }
  std::optional<test::LoopbackResponder> server_{std::in_place};
};

// Each fetch asks the variable's address: a body up to the cap and not a byte over it, no body
// for another status, a port nobody listens on (status 0 here); a cancel ends it at any stage.
TEST_F(UpdateOverHttp, FetchesTheVariablesAddressWithinTheCap) {
  enum Cancel { kNever, kAtStart, kAwaitingAnswer, kInBody };
  const std::string atCap(kFeedMaxBytes, 'x');
  const struct {
    std::uint32_t status;
    std::string body;
    std::uint32_t error;
    bool kept;
    Cancel cancel;
  } cases[] = {{200, atCap, 0, true, kNever},
               {200, atCap + "y", ERROR_FILE_TOO_LARGE, false, kNever},
               {404, "missing", 0, false, kNever},
               {0, "", ERROR_WINHTTP_CANNOT_CONNECT, false, kNever},
               {0, "", ERROR_WINHTTP_OPERATION_CANCELLED, false, kAtStart},
               {0, "", ERROR_WINHTTP_OPERATION_CANCELLED, false, kAwaitingAnswer},
               {200, "{}", ERROR_WINHTTP_OPERATION_CANCELLED, false, kInBody}};
  for (int round = 0; round < 10; ++round) {
    for (const auto& c : cases) {
      std::optional<test::LoopbackResponder> server(std::in_place,
                                                    c.error != ERROR_WINHTTP_CANNOT_CONNECT);
      SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", server->Url().c_str());
      FetchCancel cancel;
      auto fetched = std::async(std::launch::async,
                                [&] { return FetchFeed(FeedUrlFromEnvironment(), cancel); });
      ASSERT_TRUE(c.cancel != kAwaitingAnswer || server->Pending(10000)) << "never connected";
      EXPECT_TRUE(c.status == 0 ||
                  server->Serve(static_cast<int>(c.status), c.body, c.cancel == kInBody ? 1 : 0));
      if (c.cancel != kNever) {
        cancel.Cancel();
      }
      EXPECT_EQ(fetched.wait_for(std::chrono::seconds(3)), std::future_status::ready) << c.cancel;
      server.reset();  // ends a fetch still waiting on it
      const FetchResult got = fetched.get();
      EXPECT_EQ(std::pair(got.error, got.httpStatus), std::pair(c.error, c.cancel ? 0u : c.status))
          << c.cancel;
      EXPECT_TRUE(got.body == (c.kept ? std::optional(c.body) : std::nullopt)) << c.status;
    }
  }
}

// A server that takes the request and never answers must not hold the card's exit: destroying
// the checker cancels the fetch, which then logs nothing. (Uncancelled, Wine's fetch waits until
// the server goes, which ends it here.)
TEST_F(UpdateOverHttp, DestroyingTheCheckerCancelsAFetchThatNeverAnswers) {
  SetEnvironmentVariableW(L"LUMETTA_UPDATE_FEED_URL", server_->Url().c_str());
  auto checker = std::make_unique<Win32UpdateChecker>(nullptr, WM_APP);
  checker->checker().Submit();
  ASSERT_TRUE(server_->Pending(20000)) << "the fetch never connected";
  auto destroyed = std::async(std::launch::async, [&] { checker.reset(); });
  const bool prompt = destroyed.wait_for(std::chrono::seconds(3)) == std::future_status::ready;
  server_.reset();
  destroyed.wait();
  EXPECT_TRUE(prompt) << "the fetch held the checker's destruction";
  EXPECT_TRUE(Events().empty());
}

}  // namespace
}  // namespace lumetta
