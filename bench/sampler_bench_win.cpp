// sampler_bench [TICKS]: ticks a live Sampler back to back with every section on and prints the
// median wall time and the mean thread CPU time per tick, and the heap allocations per steady
// tick overall and with each section alone (counted by a replaced global operator new).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "alloc_counter.h"
#include "metrics/sampler_win.h"

namespace {

using lumetta::Settings;

std::uint64_t ThreadCpu100ns() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto value = [](const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return value(kernel) + value(user);
}

double AllocationsPerTick(lumetta::Win32Sampler& sampler, const Settings& settings, int ticks) {
  for (int i = 0; i < 5; ++i) {
    sampler.Tick(settings);  // warm-up: first values, vectors sized
  }
  const std::uint64_t before = lumetta::bench::AllocationCount();
  for (int i = 0; i < ticks; ++i) {
    sampler.Tick(settings);
  }
  return static_cast<double>(lumetta::bench::AllocationCount() - before) / ticks;
}

Settings Only(bool Settings::*field) {
  Settings settings;
  for (const lumetta::SettingsBool& entry : lumetta::kSettingsBools) {
    settings.*entry.field = false;
  }
  settings.*field = true;
  return settings;
}

Settings CpuWithClock() {
  Settings settings = Only(&Settings::showCpu);
  settings.showHardwareDetails = true;
  return settings;
}

Settings GpuWithDetails() {
  Settings settings = Only(&Settings::showGpu);
  settings.showGpuDetails = true;
  return settings;
}

Settings DiskActivity() {
  Settings settings = Only(&Settings::showDisk);
  settings.showDiskActivity = true;
  return settings;
}

struct Timing {
  double medianMicros;
  double p90Micros;
  double cpuMicros;  // mean thread CPU time
};

Timing Time(lumetta::Win32Sampler& sampler, const Settings& settings, int ticks) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  std::vector<double> micros;
  micros.reserve(static_cast<std::size_t>(ticks));
  sampler.Tick(settings);
  const std::uint64_t cpuBefore = ThreadCpu100ns();
  for (int i = 0; i < ticks; ++i) {
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    sampler.Tick(settings);
    QueryPerformanceCounter(&end);
    micros.push_back(static_cast<double>(end.QuadPart - start.QuadPart) * 1e6 /
                     static_cast<double>(frequency.QuadPart));
  }
  const double cpu = static_cast<double>(ThreadCpu100ns() - cpuBefore) / 10.0 / ticks;
  std::sort(micros.begin(), micros.end());
  return {micros[micros.size() / 2], micros[micros.size() * 9 / 10], cpu};
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 1000;
  lumetta::Win32Sampler sampler(nullptr, WM_APP + 1);
  Settings all;
  all.showSelf = true;
  const struct {
    const char* name;
    Settings settings;
  } runs[] = {{"every section", all},
              {"cpu", Only(&Settings::showCpu)},
              {"cpu + clock", CpuWithClock()},
              {"gpu", Only(&Settings::showGpu)},
              {"gpu details", GpuWithDetails()},
              {"network", Only(&Settings::showNetwork)},
              {"memory", Only(&Settings::showMemory)},
              {"disk", Only(&Settings::showDisk)},
              {"disk activity", DiskActivity()},
              {"self", Only(&Settings::showSelf)}};

  std::printf("sampler: %d ticks back to back per row (disk queried every 30 s of ticks)\n", ticks);
  std::printf("%-14s %12s %12s %12s %14s\n", "sections", "median us", "p90 us", "cpu us",
              "allocs/tick");
  for (const auto& run : runs) {
    const Timing timing = Time(sampler, run.settings, ticks);
    std::printf("%-14s %12.1f %12.1f %12.1f %14.2f\n", run.name, timing.medianMicros,
                timing.p90Micros, timing.cpuMicros, AllocationsPerTick(sampler, run.settings, 200));
  }
  return 0;
}
