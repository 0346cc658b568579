#include "metrics/memory.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

constexpr auto kNormal = MemoryPressure::kNormal;
constexpr auto kElevated = MemoryPressure::kElevated;
constexpr auto kCritical = MemoryPressure::kCritical;

TEST(MemoryCollector, SampleAndFailures) {
  test::ClearCapturedEvents();
  test::ScriptedMemory source;
  // 16 GiB with 6 available at load 90; commit 24 of 32 GiB.
  const MemoryStatus good{true, 0, 90, 16ull << 30, 6ull << 30, 32ull << 30, 8ull << 30};
  source.status.then(good);
  source.status.then({false, 5});
  // Load 40, commit 31 of 32 GiB: the commit charge alone is critical.
  source.status.then({true, 0, 40, 16ull << 30, 6ull << 30, 32ull << 30, 1ull << 30});
  // Load 91 after that: Critical is kept until the load falls below 90.
  source.status.then({true, 0, 91, 16ull << 30, 6ull << 30, 32ull << 30, 30ull << 30});
  source.pools.then({true, 0, 1000, 24, 4096});
  source.pools.then({false, 87});
  source.pools.then({false, 87});
  source.pools.then({true, 0, 1, 1, 4096});
  source.high.then(true);
  MemoryCollector collector(source);

  MemorySample sample = collector.collect();
  ASSERT_TRUE(sample.valid);
  EXPECT_EQ(sample.usedPhysical, 10ull << 30);
  EXPECT_EQ(sample.totalPhysical, 16ull << 30);
  EXPECT_EQ(sample.kernel, 1024u * 4096u);
  EXPECT_EQ(sample.appBytes(), (10ull << 30) - (4ull << 20));
  EXPECT_EQ(sample.commitUsed, 24ull << 30);
  EXPECT_EQ(sample.commitLimit, 32ull << 30);
  EXPECT_EQ(sample.pressure, kElevated);  // load 90, no previous level

  EXPECT_FALSE(collector.collect().valid);
  sample = collector.collect();  // kernel pools fail: still valid, kernel 0
  EXPECT_TRUE(sample.valid);
  EXPECT_EQ(sample.kernel, 0u);
  EXPECT_EQ(sample.pressure, kCritical);
  EXPECT_EQ(collector.collect().pressure, kCritical);  // the same failure: not logged again
  sample = collector.collect();
  EXPECT_EQ(sample.kernel, 2u * 4096u);
  sample.kernel = sample.usedPhysical + 1;
  EXPECT_EQ(sample.appBytes(), 0u);  // never negative
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  memory status_failed code=0x00000005",
                                      "INFO  memory recovered",
                                      "WARN  memory_kernel performance_info_failed code=0x00000057",
                                      "INFO  memory_kernel recovered"}));
}

}  // namespace
}  // namespace lumetta
