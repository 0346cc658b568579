// The effective CPU frequency: the nominal one scaled by the current performance percentage.
#pragma once

#include <cstdint>

#include "app/log.h"

namespace lumetta {

struct CpuFrequency {
  double mhz = 0;
  bool valid = false;
};

struct CounterValue {
  std::uint32_t status = 0;         // of the formatting call
  std::uint32_t counterStatus = 0;  // the value's own status; 0 is valid data
  double value = 0;
};

// A performance-counter query over the processor's frequency and performance counters.
class FrequencyCounters {
 public:
  virtual ~FrequencyCounters() = default;
  // Opens the query and adds both counters; the first non-zero status, or 0.
  virtual std::uint32_t Open() = 0;
  virtual std::uint32_t Collect() = 0;
  virtual CounterValue Frequency() = 0;    // MHz
  virtual CounterValue Performance() = 0;  // percent of nominal, not capped at 100
  virtual void Close() = 0;
};

class CpuFrequencyCollector {
 public:
  explicit CpuFrequencyCollector(FrequencyCounters& counters) : counters_(counters) {}
  ~CpuFrequencyCollector() { reset(); }
  CpuFrequencyCollector(const CpuFrequencyCollector&) = delete;
  CpuFrequencyCollector& operator=(const CpuFrequencyCollector&) = delete;

  CpuFrequency Collect();

 private:
  void reset();

  FrequencyCounters& counters_;
  bool open_ = false;
  bool primed_ = false;
  FailureLatch frequencyLatch_;  // one latch for every failure of this collector
};

}  // namespace lumetta
