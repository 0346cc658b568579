// The effective CPU clock: nominal frequency scaled by the current performance percentage.
#pragma once

#include <cstdint>

#include "app/log.h"

namespace lumetta {

struct CpuClock {
  double mhz = 0;
  bool valid = false;
};

struct CounterValue {
  std::uint32_t status = 0;         // of the formatting call
  std::uint32_t counterStatus = 0;  // the value's own status; 0 is valid data
  double value = 0;
};

// A performance-counter query over the processor's frequency and performance counters.
class ClockCounters {
 public:
  virtual ~ClockCounters() = default;
  // Opens the query and adds both counters; the first non-zero status, or 0.
  virtual std::uint32_t Open() = 0;
  virtual std::uint32_t Collect() = 0;
  virtual CounterValue Frequency() = 0;    // MHz
  virtual CounterValue Performance() = 0;  // percent of nominal, not capped at 100
  virtual void Close() = 0;
};

class CpuClockCollector {
 public:
  explicit CpuClockCollector(ClockCounters& counters) : counters_(counters) {}
  ~CpuClockCollector() { reset(); }
  CpuClockCollector(const CpuClockCollector&) = delete;
  CpuClockCollector& operator=(const CpuClockCollector&) = delete;

  CpuClock collect();

 private:
  void reset();

  ClockCounters& counters_;
  bool open_ = false;
  bool primed_ = false;
  FailureLatch clockLatch_;  // one latch for every failure of this collector
};

}  // namespace lumetta
