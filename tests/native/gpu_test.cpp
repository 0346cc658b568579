#include "metrics/gpu.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

constexpr std::uint64_t kSecond = 10'000'000;

class GpuTest : public testing::Test {
 protected:
  void SetUp() override { test::ClearCapturedEvents(); }
  void Add(std::uint64_t luid, std::u16string name, std::uint32_t type = 1,
           std::uint32_t nodes = 2) {
    gpu.adapters.push_back(
        {luid, type, std::move(name), nodes, std::vector<std::uint64_t>(nodes, 0)});
  }
  test::ScriptedGpu gpu;
  GpuCollector collector{gpu};
};

// Node lists of different lengths (the adapter changed between reads) give no value rather than
// a read past the shorter one.
TEST(AdapterBusy, BusiestNodeOfElapsed) {
  EXPECT_EQ(AdapterBusy({0, 0}, {30, 10}, 100), 0.3);
  EXPECT_EQ(AdapterBusy({50, 0}, {40, 10}, 100), 0.1);  // a node going back adds nothing
  EXPECT_EQ(AdapterBusy({0}, {250}, 100), 1.0);         // more than elapsed
  EXPECT_EQ(AdapterBusy({0}, {0}, 100), 0.0);
  EXPECT_EQ(AdapterBusy({0}, {10}, 0), std::nullopt);
  EXPECT_EQ(AdapterBusy({}, {}, 100), std::nullopt);
  EXPECT_EQ(AdapterBusy({0}, {10, 10}, 100), std::nullopt);
}

TEST_F(GpuTest, ANodeFailureEnumeratesAgainOnTheNextTick) {
  Add(1, u"AMD Radeon RX 7800 XT");
  EXPECT_FALSE(collector.collect(0).valid);
  EXPECT_TRUE(collector.collect(kSecond).valid);
  gpu.nodeStatus = static_cast<std::int32_t>(0xC000000D);
  EXPECT_FALSE(collector.collect(2 * kSecond).valid);
  gpu.nodeStatus = 0;
  EXPECT_FALSE(collector.collect(3 * kSecond).valid);  // enumerated again, no previous sample
  EXPECT_TRUE(collector.collect(4 * kSecond).valid);
  EXPECT_EQ(gpu.enumerations, 2);
  EXPECT_EQ(
      test::CapturedLines(),
      (std::vector<std::string>{"INFO  gpu adapters_enumerated count=1 first=Radeon RX 7800 XT",
                                "WARN  gpu node_query_failed code=0xC000000D",
                                "INFO  gpu adapters_enumerated count=1 first=Radeon RX 7800 XT",
                                "INFO  gpu recovered"}));
}

}  // namespace
}  // namespace lumetta
