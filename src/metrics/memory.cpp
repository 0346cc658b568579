#include "metrics/memory.h"

namespace lumetta {

MemoryPressure RatePressure(std::uint32_t load, double commitPercent, bool low, bool high,
                            std::optional<MemoryPressure> previous) {
  const auto over = [&](std::uint32_t percent) {
    return load >= percent || commitPercent >= static_cast<double>(percent);
  };
  if (low || over(95)) {
    return MemoryPressure::Critical;
  }
  if (previous == MemoryPressure::Critical && over(90)) {
    return MemoryPressure::Critical;
  }
  if (!high || over(85)) {
    return MemoryPressure::Elevated;
  }
  if (previous.has_value() && *previous != MemoryPressure::Normal && over(80)) {
    return MemoryPressure::Elevated;
  }
  return MemoryPressure::Normal;
}

MemorySample MemoryCollector::Collect() {
  MemorySample sample;
  const MemoryStatus status = source_.QueryStatus();
  if (!status.ok) {
    ReportFailure(statusLatch_, "memory", "status_failed", status.error);
    return sample;
  }
  if (TakeRecovered(statusLatch_)) {
    LogEvent(kInfo, "memory", "recovered");
  }
  sample.usedPhysical = status.totalPhysical - status.availablePhysical;
  sample.totalPhysical = status.totalPhysical;
  sample.commitLimit = status.totalPageFile;
  sample.commitUsed = status.totalPageFile - status.availablePageFile;

  const KernelPools pools = source_.QueryKernelPools();
  if (pools.ok) {
    if (TakeRecovered(performanceLatch_)) {
      LogEvent(kInfo, "memory_kernel", "recovered");
    }
    sample.kernel = (pools.pagedPages + pools.nonpagedPages) * pools.pageSize;
  } else {
    ReportFailure(performanceLatch_, "memory_kernel", "performance_info_failed", pools.error);
  }

  const double commitPercent = sample.commitLimit == 0
                                   ? 0.0
                                   : static_cast<double>(sample.commitUsed) /
                                         static_cast<double>(sample.commitLimit) * 100.0;
  // A missing notification means never low and always high.
  const bool low = source_.QueryLowMemory().value_or(false);
  const bool high = source_.QueryHighMemory().value_or(true);
  sample.pressure = RatePressure(status.load, commitPercent, low, high, previousLevel_);
  previousLevel_ = sample.pressure;
  sample.valid = true;
  return sample;
}

}  // namespace lumetta
