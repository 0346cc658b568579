// The metrics driver: one tick gathers what the settings switch on into the Snapshot.
#pragma once

#include <cstdint>

#include "metrics/cpu_load.h"
#include "metrics/disk.h"
#include "metrics/memory.h"
#include "metrics/self_load.h"
#include "metrics/snapshot.h"
#include "settings/settings.h"

namespace lumetta {

// 100-ns units since an arbitrary start, from the high-resolution counter.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::uint64_t Now() = 0;
};

// Counter ticks to 100-ns units without overflowing 64 bits.
[[nodiscard]] std::uint64_t CounterTo100ns(std::uint64_t counter, std::uint64_t frequency);

// The disk is queried again after this long (100-ns units).
inline constexpr std::uint64_t kDiskQueryInterval = 300'000'000;

// Where the Sampler's collectors read the platform; all outlive the Sampler.
struct MetricsSources {
  Clock& clock;
  CpuTimesSource& cpuTimes;
  MemorySource& memory;
  DiskSource& disk;
  SelfSource& self;
};

class Sampler {
 public:
  explicit Sampler(const MetricsSources& sources);
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  void tick(const Settings& settings);
  [[nodiscard]] const Snapshot& snapshot() const { return snapshot_; }

 private:
  void tickCpu(const Settings& settings);

  Clock& clock_;
  CpuLoadCollector cpu_;
  MemoryCollector memory_;
  DiskCollector disk_;
  SelfCollector self_;
  Snapshot snapshot_;
  std::uint64_t lastDiskQuery_ = 0;
};

}  // namespace lumetta
