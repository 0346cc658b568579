#include "metrics/sampler.h"

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "support/scripted_sources.h"

namespace lumetta {
namespace {

TEST(CounterTo100ns, ExactWithoutOverflow) {
  EXPECT_EQ(CounterTo100ns(10'000'000, 10'000'000), 10'000'000u);
  EXPECT_EQ(CounterTo100ns(3, 3'000'000'000), 0u);
  EXPECT_EQ(CounterTo100ns(4'500'000'000, 3'000'000'000), 15'000'000u);
  // floor(2^63 * 10^7 / 3e9), where a naive counter * 10^7 would overflow.
  EXPECT_EQ(CounterTo100ns(1ull << 63, 3'000'000'000), 30'744'573'456'182'586ull);
}

TEST(HistoryRing, KeepsTheLastSixtyOldestFirst) {
  HistoryRing ring;
  for (int i = 1; i <= 61; ++i) {
    ring.push(i);
  }
  EXPECT_EQ(ring.count(), 60u);
  EXPECT_EQ(ring.head(), 1u);
  EXPECT_EQ(ring.at(0), 2.0);
  EXPECT_EQ(ring.at(59), 61.0);
}

class SamplerTest : public testing::Test {
 protected:
  void SetUp() override {
    test::ClearCapturedEvents();
    machine.cpu.script.reset({0, {{0, 0, 0}, {0, 0, 0}}});
    machine.cpu.script.then({0, {{50, 100, 0}, {0, 100, 0}}});
  }
  Settings everything() {
    Settings settings;
    settings.showSelf = true;
    return settings;
  }
  test::ScriptedMachine machine;
  Sampler sampler{machine.sources()};
};

TEST_F(SamplerTest, WhenEachValueFirstBecomesValid) {
  sampler.tick(everything());
  const Snapshot& first = sampler.snapshot();
  EXPECT_EQ(first.cpuModel, u"i7-8700K");
  EXPECT_EQ(first.cpuVendor, u"Intel");
  EXPECT_TRUE(first.memory.valid);
  EXPECT_TRUE(first.disk.valid);
  EXPECT_EQ(first.netLabel, u"Ethernet");  // the label comes before the rates
  EXPECT_FALSE(first.cpuValid);
  EXPECT_TRUE(first.cpuCores.empty());
  EXPECT_FALSE(first.cpuClockValid);
  EXPECT_FALSE(first.gpuValid);
  EXPECT_EQ(first.gpuModel, u"RTX 4070");  // known from the enumeration
  EXPECT_FALSE(first.netRatesValid);
  EXPECT_FALSE(first.self.valid);
  EXPECT_EQ(first.cpuHistory.count(), 0u);

  machine.clock.advanceSeconds(1);
  machine.gpu.adapters[0].running = {2'500'000, 0};
  machine.wired(u"Ethernet", 1000 + 4096, 2000 + 512);
  sampler.tick(everything());
  const Snapshot& second = sampler.snapshot();
  EXPECT_TRUE(second.cpuValid);
  EXPECT_EQ(second.cpuCores, (std::vector<double>{0.5, 1.0}));
  EXPECT_EQ(second.cpuTotal, 0.75);
  EXPECT_EQ(second.cpuHistory.count(), 1u);
  EXPECT_TRUE(second.cpuClockValid);
  EXPECT_EQ(second.cpuClockMhz, 3000.0);
  EXPECT_TRUE(second.gpuValid);
  EXPECT_EQ(second.gpuBusy, 0.25);
  EXPECT_EQ(second.gpuHistory.count(), 1u);
  EXPECT_TRUE(second.netRatesValid);
  EXPECT_EQ(second.netReceive, 4096.0);
  EXPECT_EQ(second.netSend, 512.0);
  EXPECT_EQ(second.netReceiveHistory.count(), 1u);
  EXPECT_EQ(second.netSendHistory.count(), 1u);
  EXPECT_TRUE(second.self.valid);
}

TEST_F(SamplerTest, EveryFlagOffLeavesEverythingInvalidAndHistoriesAlone) {
  sampler.tick(everything());
  machine.clock.advanceSeconds(1);
  sampler.tick(everything());
  Settings off;
  for (const SettingsBool& entry : kSettingsBools) {
    off.*entry.field = false;
  }
  machine.clock.advanceSeconds(1);
  sampler.tick(off);
  const Snapshot& s = sampler.snapshot();
  EXPECT_FALSE(s.cpuValid || s.cpuClockValid || s.gpuValid || s.memory.valid || s.netRatesValid ||
               s.disk.valid || s.self.valid);
  EXPECT_TRUE(s.cpuCores.empty());
  EXPECT_FALSE(s.netLabel.has_value());
  EXPECT_EQ(s.cpuHistory.count(), 1u);
  EXPECT_EQ(machine.cpu.calls, 2);  // a collector that is off is not run
}

TEST_F(SamplerTest, HardwareDetailsWithoutCpuGiveNoClock) {
  Settings settings;
  settings.showCpu = false;
  settings.showHardwareDetails = true;
  sampler.tick(settings);
  EXPECT_FALSE(sampler.snapshot().cpuClockValid);
  EXPECT_EQ(machine.cpu.calls, 0);
}

TEST_F(SamplerTest, DiskIsQueriedEveryThirtySecondsAndRetriedAfterAFailure) {
  const Settings settings;
  sampler.tick(settings);
  EXPECT_EQ(machine.disk.queries, 1);
  machine.clock.advanceSeconds(10);
  sampler.tick(settings);
  EXPECT_EQ(machine.disk.queries, 1);
  machine.clock.advanceSeconds(20);
  machine.disk.space.reset({false, 21});
  sampler.tick(settings);
  EXPECT_EQ(machine.disk.queries, 2);
  EXPECT_FALSE(sampler.snapshot().disk.valid);
  machine.clock.advanceSeconds(1);
  machine.disk.space.reset({true, 0, 100, 40});
  sampler.tick(settings);
  EXPECT_EQ(machine.disk.queries, 3);
  EXPECT_EQ(sampler.snapshot().disk.usedBytes, 60u);
  machine.clock.advanceSeconds(29);
  sampler.tick(settings);
  EXPECT_EQ(machine.disk.queries, 3);
  // Switching the section off and on queries at once.
  Settings noDisk;
  noDisk.showDisk = false;
  sampler.tick(noDisk);
  EXPECT_FALSE(sampler.snapshot().disk.valid);
  sampler.tick(settings);
  EXPECT_EQ(machine.disk.queries, 4);
}

TEST_F(SamplerTest, OnlyValidValuesArePushed) {
  machine.cpu.script.then({static_cast<std::int32_t>(0xC0000001), {}});
  machine.cpu.script.then({0, {{0, 0, 0}, {0, 0, 0}}});
  machine.cpu.script.then({0, {{0, 100, 0}, {0, 100, 0}}});
  const Settings settings;
  for (int i = 0; i < 5; ++i) {
    sampler.tick(settings);
  }
  // Valid on the 2nd and 5th ticks only.
  EXPECT_EQ(sampler.snapshot().cpuHistory.count(), 2u);
  EXPECT_EQ(sampler.snapshot().cpuHistory.at(1), 1.0);
}

}  // namespace
}  // namespace lumetta
