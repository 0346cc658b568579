#include "metrics/cpu_frequency.h"

namespace lumetta {

CpuFrequency CpuFrequencyCollector::Collect() {
  const std::optional<CounterReading> reading = reader_.Read();
  if (!reading) {
    return {};
  }
  const double mhz = reading->second * reading->first / 100.0;
  return {mhz, mhz > 0};
}

}  // namespace lumetta
