#include "app/log.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"

namespace lumetta {
namespace {

constexpr LogTime kTime{2026, 12, 5, 12, 39, 30, 123};

TEST(LogLine, LevelWordsAreFiveCharacters) {
  const struct {
    int level;
    std::string_view word;
  } cases[] = {{0, "DEBUG"}, {1, "INFO "}, {2, "WARN "}, {3, "ERROR"}, {7, "?????"}, {-1, "?????"}};
  for (const auto& c : cases) {
    EXPECT_EQ(LevelWord(static_cast<LogLevel>(c.level)), c.word) << c.level;
  }
}

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

TEST(LogLine, LineBreaksInDetailsBecomeBlanks) {
  EXPECT_EQ(FormatLogLine(kTime, kWarn, "a", "b", "k=1\r\nk=2\nk=3\r"),
            "2026-12-05T12:39:30.123Z WARN  a b k=1  k=2 k=3 \r\n");
}

TEST(LogLine, LongDetailsAreKeptWhole) {
  const std::string details(5000, 'z');
  const std::string line = FormatLogLine(kTime, kDebug, "c", "e", details);
  EXPECT_EQ(line.size(), 31u + 4u + details.size() + 2u);
  EXPECT_EQ(line.substr(line.size() - 3), "z\r\n");
}

TEST(FormatCode, TenCharactersUpperCase) {
  EXPECT_EQ(FormatCode(0), "0x00000000");
  EXPECT_EQ(FormatCode(5), "0x00000005");
  EXPECT_EQ(FormatCode(0xC0000225u), "0xC0000225");
  EXPECT_EQ(FormatCode(0xFFFFFFFFu), "0xFFFFFFFF");
}

TEST(FailureLatch, OneLinePerDistinctCodeAndOneRecovery) {
  test::ClearCapturedEvents();
  FailureLatch latch;
  EXPECT_FALSE(TakeRecovered(latch));
  ReportFailure(latch, "cpu", "query_failed", 5);
  ReportFailure(latch, "cpu", "query_failed", 5);
  ReportFailure(latch, "cpu", "query_failed", 5);
  ReportFailure(latch, "cpu", "query_failed", 6);
  ReportFailure(latch, "cpu", "query_failed", 6);
  ASSERT_EQ(test::CapturedEvents().size(), 2u);
  EXPECT_EQ(test::CapturedEvents()[0].details, "code=0x00000005");
  EXPECT_EQ(test::CapturedEvents()[1].details, "code=0x00000006");
  EXPECT_EQ(test::CapturedEvents()[1].level, kWarn);
  EXPECT_EQ(test::CapturedEvents()[1].component, "cpu");
  EXPECT_EQ(test::CapturedEvents()[1].event, "query_failed");

  EXPECT_TRUE(TakeRecovered(latch));
  EXPECT_FALSE(TakeRecovered(latch));
  ReportFailure(latch, "cpu", "query_failed", 6);
  EXPECT_EQ(test::CapturedEvents().size(), 3u);
}

}  // namespace
}  // namespace lumetta
