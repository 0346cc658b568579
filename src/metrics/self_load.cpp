#include "metrics/self_load.h"

namespace lumetta {

SelfSample SelfCollector::Collect(std::uint64_t now) {
  const ProcessUsage usage = source_.Query();
  if (!usage.ok) {
    ReportFailure(queryLatch_, "self", "query_failed", usage.error);
    samples_.clear();
    return {};
  }
  if (TakeRecovered(queryLatch_)) {
    LogEvent(kInfo, "self", "recovered");
  }
  SelfSample sample;
  if (samples_.count() > 0) {
    const Entry& oldest = samples_.at(0);
    if (now > oldest.wallTime) {
      sample.valid = true;
      sample.privateWorkingSet = usage.privateWorkingSet;
      if (usage.cpuTime > oldest.cpuTime) {
        sample.cpuShare = static_cast<double>(usage.cpuTime - oldest.cpuTime) /
                          static_cast<double>(now - oldest.wallTime);
      }
    }
  }
  samples_.push({usage.cpuTime, now});
  return sample;
}

}  // namespace lumetta
