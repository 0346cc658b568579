// Platform sources that replay scripted results, so collectors' failure paths can be driven.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "metrics/sampler.h"

namespace lumetta::test {

// Repeats its last result once run out; results go out by reference, so replays allocate nothing.
template <typename T>
class Script {
 public:
  Script& Then(T value) {
    queue_.push_back(std::move(value));
    return *this;
  }
  const T& Next() {
    if (!queue_.empty()) {
      last_ = std::move(queue_.front());
      queue_.pop_front();
    }
    return last_;
  }
  // Drops what is still queued: `value` comes next and repeats.
  void reset(T value) { queue_.assign(1, std::move(value)); }

 private:
  std::deque<T> queue_;
  T last_{};
};

class ScriptedTimeSource final : public TimeSource {
 public:
  std::uint64_t now = 0;
  std::uint64_t Now() override { return now; }
  void AdvanceSeconds(double seconds) { now += static_cast<std::uint64_t>(seconds * 1e7); }
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
    const CpuResult& result = script.Next();
    times = result.times;
    return result.status;
  }
};

class ScriptedMemory final : public MemorySource {
 public:
  Script<MemoryStatus> status;
  Script<KernelPools> pools;
  Script<std::optional<bool>> low, high;
  MemoryStatus QueryStatus() override { return status.Next(); }
  KernelPools QueryKernelPools() override { return pools.Next(); }
  std::optional<bool> QueryLowMemory() override { return low.Next(); }
  std::optional<bool> QueryHighMemory() override { return high.Next(); }
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
    return space.Next();
  }
};

class ScriptedSelf final : public SelfSource {
 public:
  Script<ProcessUsage> usage;
  ProcessUsage Query() override { return usage.Next(); }
};

// A counter query; a missing counter is an Open that keeps failing.
class ScriptedCounters final : public CounterPair {
 public:
  Script<std::uint32_t> open, collect;
  Script<CounterValue> first, second;
  int opens = 0, closes = 0;
  std::uint32_t Open() override {
    ++opens;
    return open.Next();
  }
  std::uint32_t Collect() override { return collect.Next(); }
  CounterValue First() override { return first.Next(); }
  CounterValue Second() override { return second.Next(); }
  void Close() override { ++closes; }
};

// Adapters with a running time per node that the test advances.
class ScriptedGpu final : public GpuSource {
 public:
  struct Adapter {
    std::uint64_t luid;
    std::optional<std::uint32_t> type;
    std::optional<std::u16string> name;
    std::optional<std::uint32_t> nodes;
    std::vector<std::uint64_t> running;
    std::vector<KmtSegment> segments = {};
    std::uint32_t temperature = 0;  // tenths of a degree
  };
  std::int32_t nodeStatus = 0, openStatus = 0, temperatureStatus = 0, segmentStatus = 0;
  std::vector<Adapter> adapters;
  int enumerations = 0, opens = 0, closes = 0, temperatures = 0, segmentQueries = 0;

  std::int32_t Enumerate(std::vector<KmtAdapter>& out) override {
    ++enumerations;
    for (std::uint32_t i = 0; i < adapters.size(); ++i) {
      out.push_back({i + 100, adapters[i].luid});
    }
    return 0;
  }
  std::optional<std::uint32_t> AdapterType(std::uint32_t handle) override {
    return adapters[handle - 100].type;
  }
  std::optional<std::u16string> AdapterName(std::uint32_t handle) override {
    return adapters[handle - 100].name;
  }
  // Enumerated handles are 100 and up, opened ones 200 and up.
  void CloseAdapter(std::uint32_t handle) override { closes += handle >= 200 ? 1 : 0; }
  std::optional<KmtCounts> AdapterCounts(std::uint64_t luid) override {
    const Adapter& a = find(luid);
    return a.nodes ? KmtCounts{*a.nodes, static_cast<std::uint32_t>(a.segments.size())}
                   : std::optional<KmtCounts>();
  }
  std::int32_t NodeRunningTime(std::uint64_t luid, std::uint32_t node,
                               std::uint64_t* running) override {
    return nodeStatus < 0 ? nodeStatus : (*running = find(luid).running.at(node), 0);
  }
  std::int32_t OpenAdapter(std::uint64_t luid, std::uint32_t* handle) override {
    ++opens;
    *handle = 200 + static_cast<std::uint32_t>(&find(luid) - adapters.data());
    return openStatus;
  }
  std::int32_t Temperature(std::uint32_t handle, std::uint32_t* tenths) override {
    ++temperatures;
    *tenths = adapters.at(handle - 200).temperature;
    return temperatureStatus;
  }
  std::int32_t Segment(std::uint64_t luid, std::uint32_t segment, KmtSegment* info) override {
    ++segmentQueries;
    *info = find(luid).segments.at(segment);
    return segmentStatus;
  }

 private:
  Adapter& find(std::uint64_t luid) {
    const auto it = std::ranges::find(adapters, luid, &Adapter::luid);
    return it != adapters.end() ? *it : throw std::logic_error("unknown LUID");
  }
};

class ScriptedNetwork final : public NetworkSource {
 public:
  Script<std::pair<std::uint32_t, std::uint32_t>> best;  // status, index
  Script<std::pair<std::uint32_t, InterfaceRow>> rows;   // status, row
  int lookups = 0;
  std::uint32_t BestInterface(std::uint32_t* index) override {
    ++lookups;
    const auto& [status, value] = best.Next();
    *index = value;
    best_ = value;
    return status;
  }
  // Only the interface last named best can be read, as with a stale index on Windows.
  std::uint32_t ReadInterface(std::uint32_t index, InterfaceRow& row) override {
    if (index != best_) {
      return 1168;  // ERROR_NOT_FOUND
    }
    const auto& [status, value] = rows.Next();
    if (status == 0) {
      row = value;
    }
    return status;
  }

 private:
  std::uint32_t best_ = 0;
};

// One process as the system lists it; its CPU time is split into user and kernel time.
struct ProcessRecord {
  std::uint64_t id = 0, createTime = 0, cpuTime = 0, privateBytes = 0;
  std::u16string name;  // at most 32 characters
  std::uint64_t workingSet = 0;
};

// Lays its records out as x64 Windows does, each name after its record, into the collector's
// buffer; `damage` then alters what was written.
class ScriptedProcesses final : public ProcessSource {
 public:
  static constexpr std::size_t kSlot = 320;
  std::vector<ProcessRecord> records;
  std::int32_t status = 0;  // a failure answered instead of the list
  std::function<void(std::span<std::byte>)> damage;
  int queries = 0;
  std::int32_t Query(std::span<std::byte> buffer, std::uint32_t* returned) override {
    ++queries;
    *returned = static_cast<std::uint32_t>(records.size() * kSlot);
    if (status < 0 || *returned > buffer.size()) {
      return status < 0 ? status : static_cast<std::int32_t>(kStatusInfoLengthMismatch);
    }
    for (std::size_t i = 0; i < records.size(); ++i) {
      const ProcessRecord& r = records[i];
      std::byte* p = buffer.data() + i * kSlot;
      const auto put = [p](std::size_t at, auto value) {
        std::memcpy(p + at, &value, sizeof value);
      };
      std::memset(p, 0, 256);
      put(kProcessNextEntryOffset, static_cast<std::uint32_t>(i + 1 < records.size() ? kSlot : 0));
      put(kProcessPrivateWorkingSetOffset, r.privateBytes);
      put(kProcessCreateTimeOffset, r.createTime);
      put(kProcessUserTimeOffset, r.cpuTime / 4);
      put(kProcessKernelTimeOffset, r.cpuTime - r.cpuTime / 4);
      put(kProcessImageNameOffset, static_cast<std::uint16_t>(r.name.size() * 2));
      put(kProcessImageNameBufferOffset, reinterpret_cast<std::uintptr_t>(p + 256));
      put(kProcessIdOffset, r.id);
      put(kProcessWorkingSetOffset, r.workingSet);
      std::memcpy(p + 256, r.name.data(), r.name.size() * 2);
    }
    return damage ? damage(buffer), 0 : 0;
  }
  std::uint32_t ProcessorCount() override { return 2; }
};

class ScriptedBattery final : public BatterySource {
 public:
  Script<PowerStatus> status;
  int queries = 0;
  PowerStatus Query() override { return ++queries, status.Next(); }
};

// Runs each query inline; once held, each on its own thread, waiting at a gate until released.
class ScriptedWifi final : public WifiPlatform {
 public:
  Script<std::pair<std::uint32_t, std::optional<WifiConnection>>> results;
  int submits = 0, queries = 0, notified = 0, clientCloses = 0, workCloses = 0;
  InterfaceGuid guid{};  // the only adapter that answers

  ~ScriptedWifi() override { JoinAll(); }

  void Hold() {
    std::lock_guard lock(mutex_);
    threaded_ = true;
    gateOpen_ = false;
  }
  void Release() {
    std::lock_guard lock(mutex_);
    gateOpen_ = true;
    changed_.notify_all();
  }
  // Waits until `counter` (queries or notified) reaches `count`.
  void WaitFor(const int& counter, int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return counter >= count; });
  }

  std::uint32_t CreateWork(std::function<void()> callback) override {
    callback_ = std::move(callback);
    return 0;
  }
  void SubmitWork() override {
    ++submits;
    threaded_ ? void(threads_.emplace_back(callback_)) : callback_();
  }
  void CloseWork() override {
    JoinAll();
    ++workCloses;
  }
  std::uint32_t QueryConnection(const InterfaceGuid& adapter,
                                std::optional<WifiConnection>* connection) override {
    std::unique_lock lock(mutex_);
    ++queries;
    changed_.notify_all();
    *connection = std::nullopt;
    if (adapter != guid) {
      return 87;  // ERROR_INVALID_PARAMETER
    }
    changed_.wait(lock, [&] { return gateOpen_; });
    const auto& [status, value] = results.Next();
    *connection = value;
    return status;
  }
  void NotifyDone() override {
    std::lock_guard lock(mutex_);
    ++notified;
    changed_.notify_all();
  }
  void CloseClient() override { ++clientCloses; }

 private:
  void JoinAll() {
    for (std::thread& thread : threads_) {
      thread.join();
    }
    threads_.clear();
  }

  std::function<void()> callback_;
  std::vector<std::thread> threads_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool threaded_ = false, gateOpen_ = true;
};

// A working machine: two processors that get busier by the same amounts every call.
struct ScriptedMachine {
  ScriptedTimeSource clock;
  ScriptedCpuTimes cpu;
  ScriptedCounters frequencyCounters;
  ScriptedGpu gpu;
  ScriptedMemory memory;
  ScriptedNetwork network;
  ScriptedWifi wifi;
  ScriptedDisk disk;
  ScriptedCounters diskCounters;
  ScriptedSelf self;
  ScriptedProcesses processes;
  ScriptedBattery battery;
  std::u16string processorName = u"Intel(R) Core(TM) i7-8700K CPU @ 3.70GHz";

  ScriptedMachine() {
    memory.status.Then({true, 0, 40, 16ull << 30, 8ull << 30, 24ull << 30, 12ull << 30});
    memory.pools.Then({true, 0, 1000, 500, 4096});
    memory.high.Then(true);
    disk.space.Then({true, 0, 512ull << 30, 100ull << 30});
    self.usage.Then({true, 0, 1000, 8u << 20});
    cpu.script.Then({0, {{0, 0, 0}, {0, 0, 0}}});
    Frequencies(2000, 150);
    gpu.adapters.push_back({7, 1u, u"NVIDIA GeForce RTX 4070", 2u, {0, 0}, {}, 615});
    gpu.adapters[0].segments = {{12ull << 30, 2ull << 30, false}, {32ull << 30, 1ull << 30, true}};
    diskCounters.first.Then({0, 0, 4096});
    diskCounters.second.Then({0, 0, 1024});
    network.best.Then({0, 12});
    Wired(u"Ethernet", 1000, 2000);
    processes.records = {{0, 0, 0, 0, {}}, {8, 1, 0, 4u << 20, u"lumetta.exe"}};
    battery.status.Then({true, 0, 0, 1, 80, 3600});
  }
  void Frequencies(double mhz, double percent) {
    frequencyCounters.first.reset({0, 0, mhz});
    frequencyCounters.second.reset({0, 0, percent});
  }
  void Wired(std::u16string alias, std::uint64_t in, std::uint64_t out) {
    network.rows.reset({0, InterfaceRow{std::move(alias), {1}, 6, in, out}});
  }
  void Wireless(std::u16string alias, std::uint8_t guid, std::uint64_t in, std::uint64_t out) {
    network.rows.reset({0, InterfaceRow{std::move(alias), {guid}, kIfTypeIeee80211, in, out}});
    wifi.guid = {guid};
  }
  MetricsSources Sources() {
    return {clock,        cpu,  frequencyCounters, gpu,       memory, network, wifi, disk,
            diskCounters, self, processorName,     processes, battery};
  }
};

}  // namespace lumetta::test
