#include "app/log.h"

#include <gtest/gtest.h>

namespace lumetta {
namespace {

constexpr LogTime kTime{2026, 12, 5, 12, 39, 30, 123};

TEST(LogLine, DetailsAreKeptWholeWithLineBreaksAsBlanks) {
  EXPECT_EQ(FormatLogLine(kTime, kWarn, "a", "b", "k=1\r\nk=2\nk=3\r"),
            "2026-12-05T12:39:30.123Z WARN  a b k=1  k=2 k=3 \r\n");
  const std::string line = FormatLogLine(kTime, kDebug, "c", "e", std::string(5000, 'z'));
  EXPECT_EQ(line.size(), 31u + 4u + 5000u + 2u);
  EXPECT_EQ(line.substr(line.size() - 3), "z\r\n");
  // Fields out of their range widen the stamp instead of overrunning its buffer.
  EXPECT_EQ(FormatLogLine({-2147483647, -1, 100, 24, 60, 61, 12345}, kInfo, "x", "y", ""),
            "-2147483647--1-100T24:60:61.12345Z INFO  x y\r\n");
}

}  // namespace
}  // namespace lumetta
