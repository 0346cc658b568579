// Read and write rates of all physical disks together.
#pragma once

#include "metrics/counter_pair.h"

namespace lumetta {

struct DiskActivitySample {
  double readBytesPerSecond = 0;
  double writeBytesPerSecond = 0;
  bool valid = false;
  bool operator==(const DiskActivitySample&) const = default;
};

// The physical disks' counters: first the bytes read per second, second those written.
using DiskCounters = CounterPair;

class DiskActivityCollector {
 public:
  explicit DiskActivityCollector(DiskCounters& counters) : reader_(counters, "disk_activity") {}

  DiskActivitySample Collect();
  // Closes the query while the row is off.
  void Close() { reader_.Close(); }

 private:
  CounterPairReader reader_;
};

}  // namespace lumetta
