// The metrics driver: one tick gathers what the settings switch on into the Snapshot.
#pragma once

#include <cstdint>
#include <string>

#include "metrics/battery.h"
#include "metrics/cpu_frequency.h"
#include "metrics/cpu_load.h"
#include "metrics/disk.h"
#include "metrics/disk_activity.h"
#include "metrics/gpu.h"
#include "metrics/memory.h"
#include "metrics/network.h"
#include "metrics/processes.h"
#include "metrics/self_load.h"
#include "metrics/snapshot.h"
#include "settings/settings.h"

namespace lumetta {

// 100-ns units since an arbitrary start, from the high-resolution counter.
class TimeSource {
 public:
  virtual ~TimeSource() = default;
  virtual std::uint64_t Now() = 0;
};

// Counter ticks to 100-ns units without overflowing 64 bits.
[[nodiscard]] std::uint64_t CounterTo100ns(std::uint64_t counter, std::uint64_t frequency);

// The disk is queried again after this long (100-ns units).
inline constexpr std::uint64_t kDiskQueryInterval = 300'000'000;

// Where the Sampler's collectors read the platform; all outlive the Sampler.
struct MetricsSources {
  TimeSource& timeSource;
  CpuTimesSource& cpuTimes;
  FrequencyCounters& frequencyCounters;
  GpuSource& gpu;
  MemorySource& memory;
  NetworkSource& network;
  WifiPlatform& wifi;
  DiskSource& disk;
  DiskCounters& diskCounters;
  SelfSource& self;
  std::u16string processorName;  // raw, as the system names it; empty when unknown
  ProcessSource& processes;
  BatterySource& battery;
};

// The last valid network reading, kept between ticks.
struct NetworkCache {
  double receive = 0;
  double send = 0;
  bool ratesValid = false;
  std::u16string alias;
  InterfaceGuid interfaceGuid{};
  bool wireless = false;
  bool present = false;
};

class Sampler {
 public:
  explicit Sampler(const MetricsSources& sources);
  ~Sampler();
  Sampler(const Sampler&) = delete;
  Sampler& operator=(const Sampler&) = delete;

  void Tick(const Settings& settings);
  [[nodiscard]] const Snapshot& snapshot() const { return snapshot_; }
  // Rebuilds the network label from the cache and the latest Wi-Fi result.
  void RefreshNetworkLabel();
  // The power status changed (WM_POWERBROADCAST): the battery is read on the next tick.
  void BatteryChanged() { battery_.MarkChanged(); }

 private:
  void TickCpu(const Settings& settings);
  void TickGpu(std::uint64_t now);
  void TickNetwork(std::uint64_t now);

  TimeSource& timeSource_;
  CpuLoadCollector cpu_;
  CpuFrequencyCollector cpuFrequency_;
  GpuCollector gpu_;
  MemoryCollector memory_;
  NetworkCollector network_;
  WifiQuery wifi_;
  DiskCollector disk_;
  DiskActivityCollector diskActivity_;
  SelfCollector self_;
  ProcessCollector processes_;
  BatteryCollector battery_;
  Snapshot snapshot_;
  std::uint64_t lastDiskQuery_ = 0;
  std::uint64_t lastWifiSubmit_ = 0;
  NetworkCache networkCache_;
  bool showSsid_ = true;
  WifiResult wifiResult_;  // storage for the result taken from the Wi-Fi query
};

}  // namespace lumetta
