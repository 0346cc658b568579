// The effective CPU frequency: the nominal one scaled by the current performance percentage.
#pragma once

#include "metrics/counter_pair.h"

namespace lumetta {

struct CpuFrequency {
  double mhz = 0;
  bool valid = false;
};

// The processor's counters: first its frequency (MHz), second its performance (percent of
// nominal, not capped at 100).
using FrequencyCounters = CounterPair;

class CpuFrequencyCollector {
 public:
  explicit CpuFrequencyCollector(FrequencyCounters& counters)
      : reader_(counters, "cpu_frequency") {}

  CpuFrequency Collect();
  // Closes the query while the frequency is not shown.
  void Close() { reader_.Close(); }

 private:
  CounterPairReader reader_;
};

}  // namespace lumetta
