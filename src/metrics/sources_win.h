// The Win32 halves of the collectors.
#pragma once

#include <windows.h>

#include <memory>

#include "metrics/sampler.h"

namespace lumetta {

std::unique_ptr<Clock> MakeWin32Clock();
std::unique_ptr<CpuTimesSource> MakeWin32CpuTimes();
// The processor's frequency and performance counters (PDH).
std::unique_ptr<ClockCounters> MakeWin32ClockCounters();
// The kernel-mode display interface, resolved from gdi32 at run time.
std::unique_ptr<GpuSource> MakeWin32Gpu();
std::unique_ptr<NetworkSource> MakeWin32Network();
// The thread pool and the WLAN service; completion is posted to `window` as `message`.
std::unique_ptr<WifiPlatform> MakeWin32Wifi(HWND window, UINT message);
// Creates the two memory resource notifications (logged when unavailable) with `create`.
using MemoryNotificationFactory = HANDLE(WINAPI*)(MEMORY_RESOURCE_NOTIFICATION_TYPE);
std::unique_ptr<MemorySource> MakeWin32Memory(
    MemoryNotificationFactory create = &CreateMemoryResourceNotification);
std::unique_ptr<DiskSource> MakeWin32Disk();
std::unique_ptr<SelfSource> MakeWin32Self();

}  // namespace lumetta
