#include "metrics/cpu_clock.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

class CpuClockTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ClearCapturedEvents();
    counters.frequency.then({0, 0, 2000});
    counters.performance.then({0, 0, 150});
  }
  test::ScriptedClockCounters counters;
  CpuClockCollector collector{counters};
};

TEST_F(CpuClockTest, FormatFailuresKeepTheQueryAndNameTheRightCode) {
  EXPECT_FALSE(collector.collect().valid);
  counters.frequency.reset({0, 0x800007D1, 2000});   // the frequency value's own status
  counters.performance.reset({0xC0000BBA, 0, 150});  // a failing call comes first
  EXPECT_FALSE(collector.collect().valid);
  counters.performance.reset({0, 0x800007D2, 150});
  EXPECT_FALSE(collector.collect().valid);
  counters.frequency.reset({0, 0, 2000});
  EXPECT_FALSE(collector.collect().valid);
  counters.performance.reset({0, 0, 100});
  EXPECT_EQ(collector.collect().mhz, 2000.0);
  EXPECT_EQ(counters.opens, 1);
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  cpu_frequency format_failed code=0xC0000BBA",
                                      "WARN  cpu_frequency format_failed code=0x800007D1",
                                      "WARN  cpu_frequency format_failed code=0x800007D2",
                                      "INFO  cpu_frequency recovered"}));
}

}  // namespace
}  // namespace lumetta
