#include "metrics/cpu_load.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

using test::CpuResult;

ProcessorTimes Times(std::uint64_t idle, std::uint64_t kernel, std::uint64_t user) {
  return {idle, kernel, user};
}

TEST(ProcessorLoad, Arithmetic) {
  const ProcessorTimes base = Times(100, 200, 50);
  EXPECT_EQ(ProcessorLoad(base, base), 0.0);                        // nothing ran
  EXPECT_EQ(ProcessorLoad(base, Times(100, 300, 100)), 1.0);        // no idle at all
  EXPECT_EQ(ProcessorLoad(base, Times(100, 201, 50)), 1.0);         // the smallest step
  EXPECT_EQ(ProcessorLoad(base, Times(100, 200, 150)), 1.0);        // user time alone
  EXPECT_EQ(ProcessorLoad(base, Times(150, 300, 100)), 2.0 / 3.0);  // busy 100 of 150
  EXPECT_EQ(ProcessorLoad(base, Times(200, 300, 50)), 0.0);         // all idle
  EXPECT_EQ(ProcessorLoad(base, Times(99, 400, 100)), 0.0);         // idle went backwards
  EXPECT_EQ(ProcessorLoad(base, Times(100, 199, 100)), 0.0);        // kernel went backwards
  EXPECT_EQ(ProcessorLoad(base, Times(100, 300, 49)), 0.0);         // user went backwards
  EXPECT_EQ(ProcessorLoad(base, Times(300, 300, 60)), 0.0);         // idle beyond busy base
}

class CpuLoadTest : public testing::Test {
 protected:
  void SetUp() override { test::ClearCapturedEvents(); }
  void Then(std::int32_t status, std::vector<ProcessorTimes> times) {
    source.script.then({status, std::move(times)});
  }
  test::ScriptedCpuTimes source;
  CpuLoadCollector collector{source};
};

// A processor gone between two reads: only the ones in both are compared, never one past the
// shorter list.
TEST_F(CpuLoadTest, FewerProcessorsAverageTheCommonOnes) {
  Then(0, {Times(0, 0, 0), Times(0, 0, 0), Times(0, 0, 0)});
  Then(0, {Times(0, 100, 0), Times(50, 100, 0)});
  EXPECT_FALSE(collector.collect().valid);
  const CpuLoad& load = collector.collect();
  EXPECT_EQ(load.cores, (std::vector<double>{1.0, 0.5}));
  EXPECT_EQ(load.total, 0.75);
}

}  // namespace
}  // namespace lumetta
