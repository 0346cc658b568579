// The Win32 halves of the collectors.
#pragma once

#include <memory>

#include "metrics/sampler.h"

namespace lumetta {

std::unique_ptr<Clock> MakeWin32Clock();
std::unique_ptr<CpuTimesSource> MakeWin32CpuTimes();
// Creates the two memory resource notifications (logged when unavailable).
std::unique_ptr<MemorySource> MakeWin32Memory();
std::unique_ptr<DiskSource> MakeWin32Disk();
std::unique_ptr<SelfSource> MakeWin32Self();

}  // namespace lumetta
