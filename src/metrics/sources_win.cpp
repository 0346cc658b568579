#include "metrics/sources_win.h"

#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <array>

#include "app/log.h"
#include "base/owner_win.h"
#include "base/wide.h"
#include "base/win_error.h"

namespace lumetta {
namespace {

static_assert(sizeof(SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION) == 48);

std::uint64_t FileTimeValue(const FILETIME& time) {
  return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

class Win32TimeSource final : public TimeSource {
 public:
  std::uint64_t Now() override {
    static const std::uint64_t kFrequency = [] {
      LARGE_INTEGER value{};
      QueryPerformanceFrequency(&value);
      return static_cast<std::uint64_t>(value.QuadPart);
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return CounterTo100ns(static_cast<std::uint64_t>(counter.QuadPart), kFrequency);
  }
};

class Win32CpuTimes final : public CpuTimesSource {
 public:
  // The processor count does not change while the process runs: asked once.
  Win32CpuTimes() {
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    records_.resize(info.dwNumberOfProcessors);
  }

  std::int32_t Query(std::vector<ProcessorTimes>& times) override {
    ULONG returned = 0;
    const NTSTATUS status = NtQuerySystemInformation(
        SystemProcessorPerformanceInformation, records_.data(),
        static_cast<ULONG>(records_.size() * sizeof(records_[0])), &returned);
    times.clear();
    if (status < 0) {
      return status;
    }
    const std::size_t count =
        std::min<std::size_t>(returned / sizeof(records_[0]), records_.size());
    for (std::size_t i = 0; i < count; ++i) {
      times.push_back({static_cast<std::uint64_t>(records_[i].IdleTime.QuadPart),
                       static_cast<std::uint64_t>(records_[i].KernelTime.QuadPart),
                       static_cast<std::uint64_t>(records_[i].UserTime.QuadPart)});
    }
    return status;
  }

 private:
  std::vector<SYSTEM_PROCESSOR_PERFORMANCE_INFORMATION> records_;
};

class Win32Memory final : public MemorySource {
 public:
  explicit Win32Memory(MemoryNotificationFactory create) {
    // Each code is read right after its call: the second call may overwrite the first's.
    std::uint32_t error = 0;
    low_.reset(create(LowMemoryResourceNotification));
    if (!low_) {
      error = LastErrorCode();
    }
    high_.reset(create(HighMemoryResourceNotification));
    if (!high_ && error == 0) {
      error = LastErrorCode();
    }
    if (error != 0) {
      LogEvent(kWarn, "memory", "notification_unavailable", CodeDetail(error));
    }
  }

  MemoryStatus QueryStatus() override {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) {
      return {false, LastErrorCode()};
    }
    return {true,
            0,
            status.dwMemoryLoad,
            status.ullTotalPhys,
            status.ullAvailPhys,
            status.ullTotalPageFile,
            status.ullAvailPageFile};
  }
  KernelPools QueryKernelPools() override {
    PERFORMANCE_INFORMATION info{};
    if (!GetPerformanceInfo(&info, sizeof info)) {
      return {false, LastErrorCode()};
    }
    return {true, 0, info.KernelPaged, info.KernelNonpaged, info.PageSize};
  }
  std::optional<bool> QueryLowMemory() override { return Query(low_.get()); }
  std::optional<bool> QueryHighMemory() override { return Query(high_.get()); }

 private:
  static std::optional<bool> Query(HANDLE notification) {
    BOOL state = FALSE;
    if (notification == nullptr || !QueryMemoryResourceNotification(notification, &state)) {
      return std::nullopt;
    }
    return state != FALSE;
  }

  UniqueHandle low_;
  UniqueHandle high_;
};

class Win32Disk final : public DiskSource {
 public:
  std::u16string WindowsDirectory(std::uint32_t* returnedLength) override {
    std::array<wchar_t, MAX_PATH> buffer{};
    const UINT length = GetWindowsDirectoryW(buffer.data(), MAX_PATH);
    *returnedLength = length;
    return std::u16string(
        AsU16(std::wstring_view(buffer.data(), std::min<UINT>(length, MAX_PATH))));
  }
  DiskSpace QueryFreeSpace(std::u16string_view drivePath) override {
    ULARGE_INTEGER available{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER totalFree{};
    const std::u16string path(drivePath);  // fits the small-string buffer
    if (!GetDiskFreeSpaceExW(AsWide(path.c_str()), &available, &total, &totalFree)) {
      return {false, LastErrorCode()};
    }
    return {true, 0, total.QuadPart, totalFree.QuadPart};
  }
};

class Win32Self final : public SelfSource {
 public:
  explicit Win32Self(ProcessMemoryFunction memoryInfo) : memoryInfo_(memoryInfo) {}

  ProcessUsage Query() override {
    HANDLE process = GetCurrentProcess();
    FILETIME created{};
    FILETIME exited{};
    FILETIME kernel{};
    FILETIME user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) {
      return {false, LastErrorCode()};
    }
    ProcessMemoryCountersEx2 counters{};
    auto* record = reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters);
    counters.cb = sizeof counters;
    // Windows before the 2023 updates rejects the extended record: ask for the older one.
    if (!memoryInfo_(process, record, sizeof counters)) {
      counters = {};
      counters.cb = sizeof(PROCESS_MEMORY_COUNTERS_EX);
      if (!memoryInfo_(process, record, counters.cb)) {
        return {false, LastErrorCode()};
      }
    }
    // Without the private working set (older Windows; Wine fills only 72 bytes and says so
    // in cb) the whole working set is the closest measure.
    constexpr DWORD kPrivateEnd = offsetof(ProcessMemoryCountersEx2, PrivateWorkingSetSize) + 8;
    const std::uint64_t workingSet =
        counters.cb >= kPrivateEnd && counters.PrivateWorkingSetSize != 0
            ? counters.PrivateWorkingSetSize
            : counters.WorkingSetSize;
    return {true, 0, FileTimeValue(kernel) + FileTimeValue(user), workingSet};
  }

 private:
  ProcessMemoryFunction memoryInfo_;
};

}  // namespace

std::unique_ptr<TimeSource> MakeWin32TimeSource() {
  return std::make_unique<Win32TimeSource>();
}
std::unique_ptr<CpuTimesSource> MakeWin32CpuTimes() {
  return std::make_unique<Win32CpuTimes>();
}
std::unique_ptr<MemorySource> MakeWin32Memory(MemoryNotificationFactory create) {
  return std::make_unique<Win32Memory>(create);
}
std::unique_ptr<DiskSource> MakeWin32Disk() {
  return std::make_unique<Win32Disk>();
}
std::unique_ptr<SelfSource> MakeWin32Self(ProcessMemoryFunction memoryInfo) {
  return std::make_unique<Win32Self>(memoryInfo);
}

}  // namespace lumetta
