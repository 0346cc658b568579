#include "metrics/disk_activity.h"

namespace lumetta {

DiskActivitySample DiskActivityCollector::Collect() {
  const std::optional<CounterReading> reading = reader_.Read();
  if (!reading) {
    return {};
  }
  return {reading->first, reading->second, true};
}

}  // namespace lumetta
