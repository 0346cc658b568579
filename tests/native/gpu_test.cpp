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

TEST_F(GpuTest, OnlyTheSoftwareRendererIsLoggedOnce) {
  Add(1, u"Microsoft Basic Render Driver", kAdapterTypeSoftwareDevice | 1);
  for (int tick = 0; tick < 20; ++tick) {
    EXPECT_FALSE(collector.collect(static_cast<std::uint64_t>(tick) * kSecond).valid);
  }
  EXPECT_EQ(gpu.enumerations, 20);
  EXPECT_EQ(gpu.opened, 0);  // every handle closed
  EXPECT_EQ(test::CapturedLines(),
            (std::vector<std::string>{"WARN  gpu no_hardware_adapter code=0xC0000225"}));
}

TEST_F(GpuTest, TheBusiestAdapterNamesTheLoadAndTiesKeepTheFirst) {
  Add(1, u"Intel(R) UHD Graphics 770");
  Add(2, u"NVIDIA GeForce RTX 4070");
  Add(3, u"Skipped: no nodes", 1, 0);
  gpu.adapters[2].nodes = 0;
  EXPECT_FALSE(collector.collect(0).valid);
  EXPECT_EQ(collector.model(), u"UHD Graphics 770");
  gpu.adapters[0].running = {3'000'000, 0};
  gpu.adapters[1].running = {0, 7'000'000};
  GpuLoad load = collector.collect(kSecond);
  EXPECT_TRUE(load.valid);
  EXPECT_EQ(load.busy, 0.7);
  EXPECT_EQ(collector.model(), u"RTX 4070");
  EXPECT_EQ(collector.vendor(), u"NVIDIA");

  gpu.adapters[0].running = {8'000'000, 0};
  gpu.adapters[1].running = {0, 12'000'000};
  load = collector.collect(2 * kSecond);
  EXPECT_EQ(load.busy, 0.5);
  EXPECT_EQ(collector.model(), u"UHD Graphics 770");
  EXPECT_EQ(collector.vendor(), u"Intel");

  EXPECT_FALSE(collector.collect(2 * kSecond).valid);  // the same instant again
  EXPECT_EQ(
      test::CapturedLines(),
      (std::vector<std::string>{"INFO  gpu adapters_enumerated count=2 first=UHD Graphics 770"}));
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

TEST_F(GpuTest, EnumerationFailuresAndUnnamedAdapters) {
  gpu.enumerateStatus = static_cast<std::int32_t>(0xC000007A);
  EXPECT_FALSE(collector.collect(0).valid);
  EXPECT_FALSE(collector.collect(kSecond).valid);
  gpu.enumerateStatus = 0;
  Add(1, u"");
  gpu.adapters[0].name.reset();  // the registry query failed: kept without a name
  Add(2, u"Failed type");
  gpu.adapters[1].type.reset();  // the type query failed: skipped
  EXPECT_FALSE(collector.collect(2 * kSecond).valid);
  EXPECT_TRUE(collector.collect(3 * kSecond).valid);
  EXPECT_EQ(collector.model(), u"");
  EXPECT_EQ(
      test::CapturedLines(),
      (std::vector<std::string>{"WARN  gpu enumerate_failed code=0xC000007A", "INFO  gpu recovered",
                                "INFO  gpu adapters_enumerated count=1 first="}));
}

}  // namespace
}  // namespace lumetta
