#include "app/log.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"

namespace lumetta {
namespace {

constexpr LogTime kTime{2026, 12, 5, 12, 39, 30, 123};

TEST(LogLine, ExactShape) {
  EXPECT_EQ(FormatLogLine(kTime, kInfo, "app", "start", "version=0.9.0 build=2"),
            "2026-12-05T12:39:30.123Z INFO  app start version=0.9.0 build=2\r\n");
  EXPECT_EQ(FormatLogLine({2026, 1, 2, 3, 4, 5, 4}, kError, "settings", "write_failed",
                          "code=0x00000005"),
            "2026-01-02T03:04:05.004Z ERROR settings write_failed code=0x00000005\r\n");
  EXPECT_EQ(FormatLogLine(kTime, static_cast<LogLevel>(7), "x", "y", ""),
            "2026-12-05T12:39:30.123Z ????? x y\r\n");
  // Fields out of their range widen the stamp instead of overrunning its buffer.
  EXPECT_EQ(FormatLogLine({-2147483647, -1, 100, 24, 60, 61, 12345}, kInfo, "x", "y", ""),
            "-2147483647--1-100T24:60:61.12345Z INFO  x y\r\n");
}

TEST(LogLine, DetailsAreKeptWholeWithLineBreaksAsBlanks) {
  EXPECT_EQ(FormatLogLine(kTime, kWarn, "a", "b", "k=1\r\nk=2\nk=3\r"),
            "2026-12-05T12:39:30.123Z WARN  a b k=1  k=2 k=3 \r\n");
  const std::string line = FormatLogLine(kTime, kDebug, "c", "e", std::string(5000, 'z'));
  EXPECT_EQ(line.size(), 31u + 4u + 5000u + 2u);
  EXPECT_EQ(line.substr(line.size() - 3), "z\r\n");
}

TEST(FailureLatch, OneLinePerDistinctCodeAndOneRecovery) {
  test::ClearCapturedEvents();
  FailureLatch latch;
  EXPECT_FALSE(TakeRecovered(latch));
  for (const std::uint32_t code : {5u, 5u, 5u, 0xC0000225u, 0xC0000225u}) {
    ReportFailure(latch, "cpu", "query_failed", code);
  }
  EXPECT_TRUE(TakeRecovered(latch));
  EXPECT_FALSE(TakeRecovered(latch));
  ReportFailure(latch, "cpu", "query_failed", 0xC0000225u);
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  cpu query_failed code=0x00000005",
                                      "WARN  cpu query_failed code=0xC0000225",
                                      "WARN  cpu query_failed code=0xC0000225"}));
}

}  // namespace
}  // namespace lumetta
