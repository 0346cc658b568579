#include <windows.h>

#include <winternl.h>

#include <algorithm>
#include <climits>
#include <cstddef>

#include "metrics/processes.h"
#include "metrics/sources_win.h"

namespace lumetta {
namespace {

// The portable reader's offsets, checked against the x64 declaration. winternl.h names the
// private working set Reserved[0]; the other fields keep their names there.
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, NextEntryOffset) == kProcessNextEntryOffset);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, Reserved) == kProcessPrivateWorkingSetOffset);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, CreateTime) == kProcessCreateTimeOffset);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, UserTime) == kProcessUserTimeOffset);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, KernelTime) == kProcessKernelTimeOffset);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) == kProcessImageNameOffset);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, ImageName) + offsetof(UNICODE_STRING, Buffer) ==
              kProcessImageNameBufferOffset);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId) == kProcessIdOffset);
static_assert(offsetof(SYSTEM_PROCESS_INFORMATION, VirtualMemoryCounters) +
                  offsetof(VM_COUNTERS, WorkingSetSize) ==
              kProcessWorkingSetOffset);
static_assert(kProcessWorkingSetOffset + sizeof(SIZE_T) == kProcessRecordReadSize);

class Win32Processes final : public ProcessSource {
 public:
  std::int32_t Query(std::span<std::byte> buffer, std::uint32_t* returned) override {
    ULONG length = 0;
    const NTSTATUS status = NtQuerySystemInformation(
        SystemProcessInformation, buffer.data(),
        static_cast<ULONG>(std::min<std::size_t>(buffer.size(), ULONG_MAX)), &length);
    *returned = length;
    return status;
  }
  // Process times count every processor group's time.
  std::uint32_t ProcessorCount() override { return GetActiveProcessorCount(ALL_PROCESSOR_GROUPS); }
};

}  // namespace

std::unique_ptr<ProcessSource> MakeWin32Processes() {
  return std::make_unique<Win32Processes>();
}

}  // namespace lumetta
