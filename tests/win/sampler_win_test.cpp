#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <iphlpapi.h>
#include <netioapi.h>

#include <cpuid.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/log_win.h"
#include "metrics/hardware_names.h"
#include "metrics/sampler_win.h"
#include "metrics/sources_win.h"
#include "support/logging_test.h"
#include "support/test_files.h"
#include "text/utf.h"

namespace lumetta {
namespace {

// The processor's own brand string, straight from the CPUID instruction.
std::string CpuidBrand() {
  unsigned regs[13] = {};
  for (std::size_t leaf = 0; leaf < 3; ++leaf) {
    __get_cpuid(0x80000002 + static_cast<unsigned>(leaf), &regs[leaf * 4], &regs[leaf * 4 + 1],
                &regs[leaf * 4 + 2], &regs[leaf * 4 + 3]);
  }
  std::string brand(reinterpret_cast<const char*>(regs));
  brand.erase(0, brand.find_first_not_of(' '));
  return brand.erase(brand.find_last_not_of(' ') + 1);
}

// Whether this machine routes toward the internet at all: an IPv4 default route.
bool HasDefaultRoute() {
  MIB_IPFORWARD_TABLE2* table = nullptr;
  if (GetIpForwardTable2(AF_INET, &table) != NO_ERROR) {
    return false;
  }
  const bool found =
      std::any_of(table->Table, table->Table + table->NumEntries,
                  [](const auto& row) { return row.DestinationPrefix.PrefixLength == 0; });
  FreeMibTable(table);
  return found;
}

using LiveSamplerLog = test::LoggingTest;

// The low-memory notification fails with 5; creating the high one then leaves another code.
HANDLE WINAPI FirstNotificationFails(MEMORY_RESOURCE_NOTIFICATION_TYPE type) {
  HANDLE made =
      type == LowMemoryResourceNotification ? nullptr : CreateEventW(nullptr, TRUE, FALSE, nullptr);
  SetLastError(made == nullptr ? ERROR_ACCESS_DENIED : ERROR_ALREADY_EXISTS);
  return made;
}

TEST_F(LiveSamplerLog, AFailedNotificationIsLoggedWithItsOwnCode) {
  const std::unique_ptr<MemorySource> memory = MakeWin32Memory(&FirstNotificationFails);
  EXPECT_EQ(memory->QueryLowMemory(), std::nullopt);
  EXPECT_EQ(memory->QueryHighMemory(), false);
  EXPECT_EQ(Events("memory"),
            std::vector<std::string>{"WARN  memory notification_unavailable code=0x00000005"});
}

// The memory counters as three systems answer: Windows 11 (and 10 with the 2023 update) fill
// the extended record; older Windows 10 refuses its size; Wine fills 72 bytes and says so.
BOOL WINAPI ExtendedCounters(HANDLE, PROCESS_MEMORY_COUNTERS* record, DWORD size) {
  auto* counters = reinterpret_cast<ProcessMemoryCountersEx2*>(record);
  counters->WorkingSetSize = 9 << 20;
  counters->PrivateWorkingSetSize = 3 << 20;
  return size == sizeof(ProcessMemoryCountersEx2);
}
BOOL WINAPI ExtendedRefused(HANDLE, PROCESS_MEMORY_COUNTERS* record, DWORD size) {
  if (size > sizeof(PROCESS_MEMORY_COUNTERS_EX)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  record->WorkingSetSize = 7 << 20;
  return TRUE;
}
BOOL WINAPI OnlyTheBasicRecord(HANDLE, PROCESS_MEMORY_COUNTERS* record, DWORD) {
  auto* counters = reinterpret_cast<ProcessMemoryCountersEx2*>(record);
  counters->cb = sizeof(PROCESS_MEMORY_COUNTERS);
  counters->WorkingSetSize = 5 << 20;
  counters->PrivateWorkingSetSize = 0xCCCCCCCC;  // what the caller left there
  return TRUE;
}

TEST_F(LiveSamplerLog, OwnMemoryFallsBackToTheWorkingSetQuietly) {
  const struct {
    ProcessMemoryFunction function;
    std::uint64_t shown;
  } systems[] = {
      {&ExtendedCounters, 3 << 20}, {&ExtendedRefused, 7 << 20}, {&OnlyTheBasicRecord, 5 << 20}};
  for (const auto& system : systems) {
    const std::unique_ptr<SelfSource> source = MakeWin32Self(system.function);
    SelfCollector collector(*source);
    collector.Collect(1);
    const SelfSample sample = collector.Collect(10'000'000);
    EXPECT_TRUE(sample.valid && sample.privateWorkingSet == system.shown) << system.shown;
  }
  EXPECT_TRUE(Events("self").empty());
}

// The real machine: every load collector has its value by the second tick; Wine has neither
// the "Processor Information" nor the "PhysicalDisk" counters nor D3DKMTEnumAdapters2, and each
// of those failures is logged once however often it repeats.
TEST_F(LiveSamplerLog, TicksGiveEveryValueTheMachineHasAndLogEachFailureOnce) {
  EXPECT_EQ(ToUtf8(ReadProcessorName()), CpuidBrand());
  Win32Sampler sampler(nullptr, WM_APP + 1);
  Settings settings{.showSelf = true, .showGpuDetails = true, .showDiskActivity = true};
  settings.showProcesses = settings.showBattery = true;
  sampler.Tick(settings);
  EXPECT_FALSE(sampler.snapshot().cpuValid || sampler.snapshot().self.valid);
  // Without a route toward the internet there is no interface to show, and that is logged once.
  const bool routed = HasDefaultRoute();
  EXPECT_EQ(sampler.snapshot().netLabel.has_value(), routed);
  // Some work between the ticks so that the process's CPU time can grow.
  const ULONGLONG until = GetTickCount64() + 200;
  for (volatile unsigned spin = 0; GetTickCount64() < until;) {
    spin = spin + 1;
  }
  sampler.Tick(settings);
  const Snapshot& s = sampler.snapshot();
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  ASSERT_TRUE(s.cpuValid);
  EXPECT_EQ(s.cpuCores.size(), info.dwNumberOfProcessors);
  for (double share : {s.cpuTotal, *std::max_element(s.cpuCores.begin(), s.cpuCores.end())}) {
    EXPECT_TRUE(share >= 0 && share <= 1) << share;
  }
  ASSERT_TRUE(s.memory.valid && s.disk.valid && s.self.valid);
  EXPECT_EQ(s.netRatesValid, routed);
  EXPECT_TRUE(0 < s.memory.totalPhysical && s.memory.usedPhysical <= s.memory.totalPhysical &&
              s.memory.commitUsed <= s.memory.commitLimit);
  EXPECT_TRUE(0 < s.disk.totalBytes && s.disk.usedBytes <= s.disk.totalBytes);
  EXPECT_TRUE(s.self.privateWorkingSet > 0 && s.self.cpuShare > 0);
  EXPECT_GE(std::min(s.netReceive, s.netSend), 0.0);
  // This process, spinning between the ticks, is the busiest; the system answers its power
  // status, whatever that is (Wine: no system battery).
  ASSERT_TRUE(s.processes.valid && s.processes.cpuCount == 3 && s.processes.memoryCount == 3);
  EXPECT_EQ(s.processes.cpu[0].Name(), u"win_tests");
  EXPECT_TRUE(s.processes.cpu[0].value > 0.05 && s.processes.memory[2].value > 0);

  for (int tick = 0; tick < 20; ++tick) {
    sampler.Tick(settings);
  }
  const std::vector<std::string> gpu = Events("gpu");
  EXPECT_TRUE(!s.cpuFrequencyValid || s.cpuFrequencyMhz > 0);
  for (const auto& [component, valid] : {std::pair{"cpu_frequency", s.cpuFrequencyValid},
                                         std::pair{"disk_activity", s.diskActivity.valid}}) {
    const std::vector<std::string> events = Events(component);
    if (!valid) {
      ASSERT_EQ(events.size(), 1u) << component;
      EXPECT_TRUE(events[0].starts_with("WARN  " + std::string(component) + " open_failed code=0x"))
          << events[0];
    }
  }
  if (!s.gpuValid) {
    ASSERT_EQ(gpu.size(), 1u);
    EXPECT_TRUE(gpu[0] == "WARN  gpu enumerate_failed code=0xC000007A" ||
                gpu[0] == "WARN  gpu no_hardware_adapter code=0xC0000225")
        << gpu[0];
    EXPECT_EQ(s.gpuHistory.count(), 0u);
    EXPECT_EQ(s.gpuDetails, GpuDetails{});
  }
  EXPECT_TRUE(Events("memory").empty() && Events("processes").empty() && Events("battery").empty());
  EXPECT_EQ(Events("network").size(), routed ? 0u : 1u);
}

}  // namespace
}  // namespace lumetta
