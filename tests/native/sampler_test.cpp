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
  EXPECT_EQ(std::vector<double>({static_cast<double>(ring.count()),
                                 static_cast<double>(ring.head()), ring.at(0), ring.at(59)}),
            std::vector<double>({60, 1, 2, 61}));
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

// Names, memory, disk and the network's label come with the first tick; loads, the clock and
// rates with the second, each pushing its first history value.
TEST_F(SamplerTest, WhenEachValueFirstBecomesValid) {
  sampler.tick(everything());
  const Snapshot& first = sampler.snapshot();
  EXPECT_EQ(first.cpuVendor + u" " + first.cpuModel + u" " + first.gpuModel + u" " +
                first.netLabel.value_or(u"-"),
            u"Intel i7-8700K RTX 4070 Ethernet");
  EXPECT_TRUE(first.memory.valid && first.disk.valid);
  EXPECT_FALSE(first.cpuValid || first.cpuClockValid || first.gpuValid || first.netRatesValid ||
               first.self.valid || !first.cpuCores.empty() || first.cpuHistory.count() != 0);

  machine.clock.advanceSeconds(1);
  machine.gpu.adapters[0].running = {2'500'000, 0};
  machine.wired(u"Ethernet", 1000 + 4096, 2000 + 512);
  sampler.tick(everything());
  const Snapshot& s = sampler.snapshot();
  EXPECT_TRUE(s.cpuValid && s.cpuClockValid && s.gpuValid && s.netRatesValid && s.self.valid);
  EXPECT_EQ(s.cpuCores, (std::vector<double>{0.5, 1.0}));
  EXPECT_EQ((std::vector<double>{s.cpuTotal, s.cpuClockMhz, s.gpuBusy, s.netReceive, s.netSend}),
            (std::vector<double>{0.75, 3000, 0.25, 4096, 512}));
  EXPECT_EQ((std::vector<std::size_t>{s.cpuHistory.count(), s.gpuHistory.count(),
                                      s.netReceiveHistory.count(), s.netSendHistory.count()}),
            (std::vector<std::size_t>{1, 1, 1, 1}));
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

}  // namespace
}  // namespace lumetta
