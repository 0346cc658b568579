// The busiest processes: the most CPU over the last interval and the most memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "app/log.h"

namespace lumetta {

inline constexpr std::size_t kTopProcessCount = 3;
inline constexpr std::size_t kProcessNameCapacity = 24;

// A process's shortened name in a fixed buffer, so that a tick keeps it without allocating.
struct ProcessFigure {
  std::array<char16_t, kProcessNameCapacity> name{};
  std::size_t nameLength = 0;
  double value = 0;  // a share of the whole machine's CPU, or bytes of private working set

  [[nodiscard]] std::u16string_view Name() const { return {name.data(), nameLength}; }
};

struct ProcessTop {
  std::array<ProcessFigure, kTopProcessCount> cpu{};
  std::size_t cpuCount = 0;  // 0 until two samples were taken
  std::array<ProcessFigure, kTopProcessCount> memory{};
  std::size_t memoryCount = 0;
  bool valid = false;
};

// NtQuerySystemInformation's answer when the buffer is too small; the needed size comes back.
inline constexpr std::uint32_t kStatusInfoLengthMismatch = 0xC0000004;

// SYSTEM_PROCESS_INFORMATION as x64 Windows lays it out (ntexapi.h; the public winternl.h
// names the same offsets Reserved). The Win32 half checks them against its own declaration.
inline constexpr std::size_t kProcessNextEntryOffset = 0;
inline constexpr std::size_t kProcessPrivateWorkingSetOffset = 8;
inline constexpr std::size_t kProcessCreateTimeOffset = 32;
inline constexpr std::size_t kProcessUserTimeOffset = 40;
inline constexpr std::size_t kProcessKernelTimeOffset = 48;
inline constexpr std::size_t kProcessImageNameOffset = 56;  // UNICODE_STRING: length, max, ptr
inline constexpr std::size_t kProcessImageNameBufferOffset = 64;
inline constexpr std::size_t kProcessIdOffset = 80;
inline constexpr std::size_t kProcessWorkingSetOffset = 144;  // in the VM_COUNTERS at 112
// The part of a record that is read; anything shorter is malformed.
inline constexpr std::size_t kProcessRecordReadSize = 152;

// The system's process list (SystemProcessInformation).
class ProcessSource {
 public:
  virtual ~ProcessSource() = default;
  // Fills `buffer`; a negative status is a failure, kStatusInfoLengthMismatch one that names
  // the size needed in `returned`. On success `returned` is the number of bytes written.
  virtual std::int32_t Query(std::span<std::byte> buffer, std::uint32_t* returned) = 0;
  // Logical processors in every group; asked once.
  virtual std::uint32_t ProcessorCount() = 0;
};

// `name` without a trailing ".exe" (any case), cut to the capacity with a trailing ellipsis.
void SetProcessName(ProcessFigure& figure, std::u16string_view name);

class ProcessCollector {
 public:
  explicit ProcessCollector(ProcessSource& source) : source_(source) {}
  // Gives no CPU list on the first call, nor after Forget().
  void Collect(std::uint64_t now, ProcessTop& top);
  // The section is hidden: the next list starts afresh. Storage is kept.
  void Forget();

 private:
  struct Times {
    std::uint64_t id = 0;
    std::uint64_t createTime = 0;
    std::uint64_t cpuTime = 0;
  };
  struct Candidate {
    double value = 0;
    std::u16string_view name;
  };
  using Ranking = std::array<Candidate, kTopProcessCount>;
  struct Rankings {
    Ranking cpu{};
    std::size_t cpuCount = 0;
    Ranking memory{};
    std::size_t memoryCount = 0;
    Ranking workingSet{};  // where the system fills in no private working set
    std::size_t workingSetCount = 0;
    bool privateKnown = false;
  };

  bool Query(std::uint32_t* used);
  // Ranks the records and keeps their times in current_; false (logged) where one lies outside
  // the buffer. `interval` is the elapsed time times the processors, 0 without a previous list.
  bool Parse(std::span<const std::byte> bytes, double interval, Rankings& out);
  [[nodiscard]] std::uint64_t PreviousCpuTime(std::uint64_t id, std::uint64_t createTime) const;

  ProcessSource& source_;
  std::vector<std::byte> buffer_;
  std::vector<Times> previous_;  // sorted by id
  std::vector<Times> current_;
  std::uint64_t previousTime_ = 0;
  bool hasPrevious_ = false;
  std::uint32_t processors_ = 0;
  FailureLatch latch_;
};

}  // namespace lumetta
