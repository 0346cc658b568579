#include "metrics/cpu_load.h"

#include <algorithm>

namespace lumetta {

double ProcessorLoad(const ProcessorTimes& before, const ProcessorTimes& after) {
  if (after.idle < before.idle || after.kernel < before.kernel || after.user < before.user) {
    return 0;
  }
  const std::uint64_t idle = after.idle - before.idle;
  const std::uint64_t busyBase = (after.kernel - before.kernel) + (after.user - before.user);
  if (busyBase == 0 || idle >= busyBase) {
    return 0;
  }
  return static_cast<double>(busyBase - idle) / static_cast<double>(busyBase);
}

const CpuLoad& CpuLoadCollector::Collect() {
  load_.valid = false;
  load_.cores.clear();
  const std::int32_t status = source_.Query(current_);
  if (status < 0 || current_.empty()) {
    ReportFailure(queryLatch_, "cpu", "query_failed", static_cast<std::uint32_t>(status));
    previous_.clear();
    return load_;
  }
  if (TakeRecovered(queryLatch_)) {
    LogEvent(kInfo, "cpu", "recovered");
  }
  if (!previous_.empty()) {
    const std::size_t common = std::min(previous_.size(), current_.size());
    double sum = 0;
    for (std::size_t i = 0; i < common; ++i) {
      load_.cores.push_back(ProcessorLoad(previous_[i], current_[i]));
      sum += load_.cores.back();
    }
    load_.total = common == 0 ? 0 : sum / static_cast<double>(common);
    load_.valid = !load_.cores.empty();
  }
  std::swap(previous_, current_);
  return load_;
}

}  // namespace lumetta
