// A Sampler tick over scripted sources: the cost of the decision half alone, and its heap
// allocations per steady tick (counted by a replaced global operator new).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "alloc_counter.h"
#include "metrics/sampler.h"
#include "support/scripted_sources.h"

namespace {

void BM_SamplerTick(benchmark::State& state) {
  lumetta::test::ScriptedMachine machine;
  machine.Wireless(u"Wireless LAN adapter", 5, 0, 0);
  lumetta::WifiConnection connection;
  connection.phyType = 10;
  connection.ssidLength = 12;
  machine.wifi.results.reset({0, connection});
  lumetta::Sampler sampler(machine.Sources());
  lumetta::Settings settings;
  settings.showSelf = true;
  if (state.range(0) != 0) {  // one collector alone
    for (const lumetta::SettingsBool& entry : lumetta::kSettingsBools) {
      settings.*entry.field = false;
    }
    settings.showGpu = state.range(0) <= 2;
    settings.showGpuDetails = state.range(0) == 2;
    settings.showDisk = settings.showDiskActivity = state.range(0) == 3;
  }
  for (int i = 0; i < 5; ++i) {  // first values, vectors and strings sized
    machine.clock.AdvanceSeconds(1);
    sampler.Tick(settings);
  }
  const std::uint64_t before = lumetta::bench::AllocationCount();
  for (auto _ : state) {
    machine.clock.AdvanceSeconds(1);
    sampler.Tick(settings);
  }
  state.counters["allocs/tick"] =
      benchmark::Counter(static_cast<double>(lumetta::bench::AllocationCount() - before) /
                         static_cast<double>(state.iterations()));
}
// 0: every section; 1: the GPU collector alone; 2: with its details; 3: the disks' activity.
BENCHMARK(BM_SamplerTick)->Arg(0)->Arg(1)->Arg(2)->Arg(3);

}  // namespace
