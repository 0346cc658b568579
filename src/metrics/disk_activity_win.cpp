#include "metrics/counter_pair_win.h"
#include "metrics/sources_win.h"

namespace lumetta {

// PDH rather than WMI: a query of two counters costs one call a tick.
std::unique_ptr<DiskCounters> MakeWin32DiskCounters() {
  return MakePdhCounterPair(L"\\PhysicalDisk(_Total)\\Disk Read Bytes/sec",
                            L"\\PhysicalDisk(_Total)\\Disk Write Bytes/sec");
}

}  // namespace lumetta
