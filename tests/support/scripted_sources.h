// Platform sources that replay scripted results, so collectors' failure paths can be driven.
#pragma once

#include <deque>
#include <vector>

#include "metrics/sampler.h"

namespace lumetta::test {

// Each source repeats its last scripted result once the script runs out.
template <typename T>
class Script {
 public:
  void then(T value) { queue_.push_back(std::move(value)); }
  T next() {
    if (queue_.size() > 1) {
      T front = std::move(queue_.front());
      queue_.pop_front();
      return front;
    }
    return queue_.empty() ? T{} : queue_.front();
  }
  void reset(T value) {
    queue_.clear();
    queue_.push_back(std::move(value));
  }

 private:
  std::deque<T> queue_;
};

class ScriptedClock final : public Clock {
 public:
  std::uint64_t now = 0;
  std::uint64_t Now() override { return now; }
  void advanceSeconds(double seconds) { now += static_cast<std::uint64_t>(seconds * 1e7); }
};

struct CpuResult {
  std::int32_t status = 0;
  std::vector<ProcessorTimes> times;
};

class ScriptedCpuTimes final : public CpuTimesSource {
 public:
  Script<CpuResult> script;
  int calls = 0;
  std::int32_t Query(std::vector<ProcessorTimes>& times) override {
    ++calls;
    CpuResult result = script.next();
    times = result.times;
    return result.status;
  }
};

class ScriptedMemory final : public MemorySource {
 public:
  Script<MemoryStatus> status;
  Script<KernelPools> pools;
  Script<std::optional<bool>> low;
  Script<std::optional<bool>> high;
  MemoryStatus QueryStatus() override { return status.next(); }
  KernelPools QueryKernelPools() override { return pools.next(); }
  std::optional<bool> QueryLowMemory() override { return low.next(); }
  std::optional<bool> QueryHighMemory() override { return high.next(); }
};

class ScriptedDisk final : public DiskSource {
 public:
  std::u16string windowsDirectory = u"C:\\Windows";
  Script<DiskSpace> space;
  int queries = 0;
  std::u16string lastPath;
  std::u16string WindowsDirectory(std::uint32_t* length) override {
    *length = static_cast<std::uint32_t>(windowsDirectory.size());
    return windowsDirectory;
  }
  DiskSpace QueryFreeSpace(std::u16string_view path) override {
    ++queries;
    lastPath = path;
    return space.next();
  }
};

class ScriptedSelf final : public SelfSource {
 public:
  Script<ProcessUsage> usage;
  ProcessUsage Query() override { return usage.next(); }
};

// A working machine: two processors that get busier by the same amounts every call.
struct ScriptedMachine {
  ScriptedClock clock;
  ScriptedCpuTimes cpu;
  ScriptedMemory memory;
  ScriptedDisk disk;
  ScriptedSelf self;

  ScriptedMachine() {
    memory.status.then({true, 0, 40, 16ull << 30, 8ull << 30, 24ull << 30, 12ull << 30});
    memory.pools.then({true, 0, 1000, 500, 4096});
    memory.high.then(true);
    disk.space.then({true, 0, 512ull << 30, 100ull << 30});
    self.usage.then({true, 0, 1000, 8u << 20});
  }
  MetricsSources sources() { return {clock, cpu, memory, disk, self}; }
};

}  // namespace lumetta::test
