// Load of every logical processor and overall, from the system's per-processor times.
#pragma once

#include <cstdint>
#include <vector>

#include "app/log.h"

namespace lumetta {

// Cumulative 100-ns counts of one logical processor; kernel includes idle.
struct ProcessorTimes {
  std::uint64_t idle = 0;
  std::uint64_t kernel = 0;
  std::uint64_t user = 0;
};

class CpuTimesSource {
 public:
  virtual ~CpuTimesSource() = default;
  // Fills `times` with one entry per processor the system reported. Returns the NTSTATUS;
  // a negative status or no entry at all is a failure.
  virtual std::int32_t Query(std::vector<ProcessorTimes>& times) = 0;
};

struct CpuLoad {
  double total = 0;
  std::vector<double> cores;  // fraction 0..1 per logical processor
  bool valid = false;
};

class CpuLoadCollector {
 public:
  explicit CpuLoadCollector(CpuTimesSource& source) : source_(source) {}
  // The loads since the previous successful call; storage is reused between calls.
  const CpuLoad& Collect();

 private:
  CpuTimesSource& source_;
  std::vector<ProcessorTimes> previous_;
  std::vector<ProcessorTimes> current_;
  CpuLoad load_;
  FailureLatch queryLatch_;
};

// One processor's load between two readings; 0 when a counter went backwards or nothing ran.
[[nodiscard]] double ProcessorLoad(const ProcessorTimes& before, const ProcessorTimes& after);

}  // namespace lumetta
