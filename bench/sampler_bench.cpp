// A Sampler tick over scripted sources: the cost of the decision half alone, and its heap
// allocations per steady tick (counted by a replaced global operator new).
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "alloc_counter.h"
#include "metrics/sampler.h"
#include "support/scripted_sources.h"

namespace {

constexpr std::uint64_t kProcessCount = 500;

// A busy machine's list: every process has run a little more each time it is listed.
void FillProcesses(lumetta::test::ScriptedProcesses& source) {
  source.records.clear();
  for (std::uint64_t i = 0; i < kProcessCount; ++i) {
    source.records.push_back({i * 4, 1000 + i, i * 977, (i % 37) << 20,
                              u"process-" + std::u16string(i % 20, u'x') + u".exe"});
  }
}
void Advance(lumetta::test::ScriptedProcesses& source) {
  for (lumetta::test::ProcessRecord& record : source.records) {
    record.cpuTime += record.id * 31 % 5000;
  }
}

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
  if (state.range(0) == 6) {  // every addition too
    for (const lumetta::SettingsBool& entry : lumetta::kOptInBools) {
      settings.*entry.field = true;
    }
  } else if (state.range(0) != 0) {  // one collector alone
    for (const lumetta::SettingsBool& entry : lumetta::kSettingsBools) {
      settings.*entry.field = false;
    }
    settings.showGpu = state.range(0) <= 2;
    settings.showGpuDetails = state.range(0) == 2;
    settings.showDisk = settings.showDiskActivity = state.range(0) == 3;
    settings.showProcesses = state.range(0) == 4;
    settings.showBattery = state.range(0) == 5;
  }
  FillProcesses(machine.processes);
  for (int i = 0; i < 5; ++i) {  // first values, vectors and strings sized
    machine.clock.AdvanceSeconds(1);
    Advance(machine.processes);
    sampler.Tick(settings);
  }
  const std::uint64_t before = lumetta::bench::AllocationCount();
  for (auto _ : state) {
    machine.clock.AdvanceSeconds(1);
    Advance(machine.processes);
    sampler.Tick(settings);
  }
  state.counters["allocs/tick"] =
      benchmark::Counter(static_cast<double>(lumetta::bench::AllocationCount() - before) /
                         static_cast<double>(state.iterations()));
}
// 0: every section; 1: the GPU collector alone; 2: with its details; 3: the disks' activity;
// 4: the busiest processes (500) alone; 5: the battery alone; 6: every section and addition.
BENCHMARK(BM_SamplerTick)->DenseRange(0, 6);

// The process collector alone over 500 processes: parsing, the CPU shares and both rankings,
// plus the scripted source writing the list each call.
void BM_ProcessList(benchmark::State& state) {
  lumetta::test::ScriptedProcesses source;
  FillProcesses(source);
  lumetta::ProcessCollector collector(source);
  lumetta::ProcessTop top;
  std::uint64_t now = 0;
  for (int i = 0; i < 5; ++i) {
    Advance(source);
    collector.Collect(now += 10'000'000, top);
  }
  const std::uint64_t before = lumetta::bench::AllocationCount();
  for (auto _ : state) {
    Advance(source);
    collector.Collect(now += 10'000'000, top);
  }
  if (top.cpuCount != lumetta::kTopProcessCount) {
    state.SkipWithError("no CPU ranking");
  }
  state.counters["allocs/call"] =
      benchmark::Counter(static_cast<double>(lumetta::bench::AllocationCount() - before) /
                         static_cast<double>(state.iterations()));
}
BENCHMARK(BM_ProcessList);

}  // namespace
