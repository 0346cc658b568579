#include "metrics/sampler.h"

namespace lumetta {

std::uint64_t CounterTo100ns(std::uint64_t counter, std::uint64_t frequency) {
  constexpr std::uint64_t kUnitsPerSecond = 10'000'000;
  return counter / frequency * kUnitsPerSecond + counter % frequency * kUnitsPerSecond / frequency;
}

Sampler::Sampler(const MetricsSources& sources)
    : clock_(sources.clock),
      cpu_(sources.cpuTimes),
      memory_(sources.memory),
      disk_(sources.disk),
      self_(sources.self) {}

void Sampler::tickCpu(const Settings& settings) {
  if (!settings.showCpu) {
    snapshot_.cpuCores.clear();
    snapshot_.cpuValid = false;
    snapshot_.cpuClockValid = false;
    return;
  }
  const CpuLoad& load = cpu_.collect();
  snapshot_.cpuValid = load.valid;
  if (load.valid) {
    snapshot_.cpuTotal = load.total;
    // Same processor count each tick: the vector's storage is reused.
    snapshot_.cpuCores.assign(load.cores.begin(), load.cores.end());
    snapshot_.cpuHistory.push(load.total);
  } else {
    snapshot_.cpuCores.clear();
  }
  snapshot_.cpuClockValid = false;
}

void Sampler::tick(const Settings& settings) {
  const std::uint64_t now = clock_.Now();
  tickCpu(settings);

  snapshot_.gpuValid = false;

  if (settings.showMemory) {
    snapshot_.memory = memory_.collect();
  } else {
    snapshot_.memory.valid = false;
  }

  snapshot_.netRatesValid = false;
  snapshot_.netLabel.reset();

  if (!settings.showDisk) {
    snapshot_.disk.valid = false;
  } else if (!snapshot_.disk.valid || now - lastDiskQuery_ >= kDiskQueryInterval) {
    // A failed query leaves the value invalid, so it is tried again on the next tick.
    snapshot_.disk = disk_.collect();
    lastDiskQuery_ = now;
  }

  if (settings.showSelf) {
    snapshot_.self = self_.collect(now);
  } else {
    snapshot_.self.valid = false;
  }
}

}  // namespace lumetta
