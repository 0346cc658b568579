// The Win32 halves of the collectors.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <cstddef>
#include <memory>

#include "metrics/sampler.h"

namespace lumetta {

std::unique_ptr<TimeSource> MakeWin32TimeSource();
std::unique_ptr<CpuTimesSource> MakeWin32CpuTimes();
// The processor's frequency and performance counters (PDH).
std::unique_ptr<FrequencyCounters> MakeWin32FrequencyCounters();
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
// The physical disks' read and write rates (PDH).
std::unique_ptr<DiskCounters> MakeWin32DiskCounters();
// One NtQuerySystemInformation call per tick; no process is opened.
std::unique_ptr<ProcessSource> MakeWin32Processes();
std::unique_ptr<BatterySource> MakeWin32Battery();

// The MinGW headers lack the extended counters record (Windows 10 22H2 and 11 22H2 with the
// September 2023 update). Its fields keep Windows' names.
// NOLINTBEGIN(readability-identifier-naming)
struct ProcessMemoryCountersEx2 {
  DWORD cb;
  DWORD PageFaultCount;
  SIZE_T PeakWorkingSetSize;
  SIZE_T WorkingSetSize;
  SIZE_T QuotaPeakPagedPoolUsage;
  SIZE_T QuotaPagedPoolUsage;
  SIZE_T QuotaPeakNonPagedPoolUsage;
  SIZE_T QuotaNonPagedPoolUsage;
  SIZE_T PagefileUsage;
  SIZE_T PeakPagefileUsage;
  SIZE_T PrivateUsage;
  SIZE_T PrivateWorkingSetSize;
  ULONG64 SharedCommitUsage;
};
// NOLINTEND(readability-identifier-naming)
static_assert(sizeof(ProcessMemoryCountersEx2) == 96);
static_assert(offsetof(ProcessMemoryCountersEx2, PrivateWorkingSetSize) == 80);

// The own process's counters through `memoryInfo`: the extended record where the system
// fills it, else the older one and the whole working set.
using ProcessMemoryFunction = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
std::unique_ptr<SelfSource> MakeWin32Self(ProcessMemoryFunction memoryInfo = &GetProcessMemoryInfo);

}  // namespace lumetta
