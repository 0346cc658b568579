#include "metrics/cpu_frequency.h"

namespace lumetta {

void CpuFrequencyCollector::reset() {
  if (open_) {
    counters_.Close();
  }
  open_ = false;
  primed_ = false;
}

CpuFrequency CpuFrequencyCollector::Collect() {
  if (!open_) {
    open_ = true;  // a failed open may have opened the query before a counter failed
    if (const std::uint32_t status = counters_.Open(); status != 0) {
      ReportFailure(frequencyLatch_, "cpu_frequency", "open_failed", status);
      reset();
      return {};
    }
    primed_ = false;
  }
  if (const std::uint32_t status = counters_.Collect(); status != 0) {
    ReportFailure(frequencyLatch_, "cpu_frequency", "collect_failed", status);
    reset();
    return {};
  }
  if (!primed_) {
    // The performance counter is a rate: the first collection only starts it.
    primed_ = true;
    return {};
  }
  const CounterValue frequency = counters_.Frequency();
  const CounterValue performance = counters_.Performance();
  std::uint32_t code = frequency.status != 0 ? frequency.status : performance.status;
  if (code == 0) {
    code = frequency.counterStatus != 0 ? frequency.counterStatus : performance.counterStatus;
  }
  if (code != 0) {
    ReportFailure(frequencyLatch_, "cpu_frequency", "format_failed", code);
    return {};
  }
  if (TakeRecovered(frequencyLatch_)) {
    LogEvent(kInfo, "cpu_frequency", "recovered");
  }
  const double mhz = performance.value * frequency.value / 100.0;
  return {mhz, mhz > 0};
}

}  // namespace lumetta
