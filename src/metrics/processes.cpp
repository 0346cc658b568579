#include "metrics/processes.h"

#include <algorithm>
#include <cstring>

#include "metrics/hardware_names.h"

namespace lumetta {
namespace {

// Where the first answer is too small the list is asked for again, at most this often.
constexpr int kQueryAttempts = 4;
constexpr std::size_t kFirstBufferBytes = std::size_t{64} << 10;
// A larger size asked for is not believed: thousands of processes need a few megabytes.
constexpr std::size_t kMaxBufferBytes = std::size_t{64} << 20;

// Records are read with memcpy: the layout is Windows' and need not suit the reader.
template <typename T>
T ReadAt(const std::byte* data, std::size_t offset) {
  T value;
  std::memcpy(&value, data + offset, sizeof value);
  return value;
}

// The record's image name where it lies wholly inside the buffer; empty otherwise.
std::u16string_view NameAt(std::span<const std::byte> bytes, std::size_t record) {
  const auto length = ReadAt<std::uint16_t>(bytes.data(), record + kProcessImageNameOffset);
  const auto address = ReadAt<std::uint64_t>(bytes.data(), record + kProcessImageNameBufferOffset);
  const auto base = reinterpret_cast<std::uintptr_t>(bytes.data());
  if (length < 2 || address < base || address % alignof(char16_t) != 0 ||
      address - base > bytes.size() || length > bytes.size() - (address - base)) {
    return {};
  }
  return {reinterpret_cast<const char16_t*>(bytes.data() + (address - base)), length / 2u};
}

// Keeps the highest values in order; a tie keeps the process listed first.
template <typename Ranking>
void Offer(Ranking& ranking, std::size_t& count, double value, std::u16string_view name) {
  std::size_t at = count;
  while (at > 0 && value > ranking[at - 1].value) {
    --at;
  }
  if (at >= ranking.size()) {
    return;
  }
  for (std::size_t i = std::min(count, ranking.size() - 1); i > at; --i) {
    ranking[i] = ranking[i - 1];
  }
  ranking[at] = {value, name};
  count = std::min(count + 1, ranking.size());
}

}  // namespace

void SetProcessName(ProcessFigure& figure, std::u16string_view name) {
  constexpr std::u16string_view kExtension = u".exe";
  if (EndsWithIgnoreCase(name, kExtension)) {
    name.remove_suffix(kExtension.size());
  }
  std::size_t length = name.size();
  const bool cut = length > kProcessNameCapacity;
  if (cut) {
    length = kProcessNameCapacity - 1;
    // A character is never split: a high surrogate goes with its low half.
    if (name[length - 1] >= 0xD800 && name[length - 1] <= 0xDBFF) {
      --length;
    }
  }
  std::copy_n(name.begin(), length, figure.name.begin());
  if (cut) {
    figure.name[length++] = u'\u2026';
  }
  figure.nameLength = length;
}

void ProcessCollector::Forget() {
  hasPrevious_ = false;
  previous_.clear();
}

bool ProcessCollector::Query(std::uint32_t* used) {
  std::int32_t status = 0;
  for (int attempt = 0; attempt < kQueryAttempts; ++attempt) {
    std::uint32_t returned = 0;
    status = source_.Query(buffer_, &returned);
    if (static_cast<std::uint32_t>(status) != kStatusInfoLengthMismatch) {
      *used = returned;
      break;
    }
    // Processes may start before the next call: a quarter more than asked for. The buffer is
    // kept, so that a steady list is read without allocating.
    const std::size_t needed =
        std::max({std::size_t{returned}, buffer_.size() * 2, kFirstBufferBytes});
    if (needed > kMaxBufferBytes) {
      break;
    }
    buffer_.resize(needed + needed / 4);
  }
  if (status < 0) {
    ReportFailure(latch_, "processes", "query_failed", static_cast<std::uint32_t>(status));
    return false;
  }
  return true;
}

std::uint64_t ProcessCollector::PreviousCpuTime(std::uint64_t id, std::uint64_t createTime) const {
  const auto it = std::ranges::lower_bound(previous_, id, {}, &Times::id);
  // A reused id belongs to a new process, which ran only within the interval.
  return it != previous_.end() && it->id == id && it->createTime == createTime ? it->cpuTime : 0;
}

bool ProcessCollector::Parse(std::span<const std::byte> bytes, double interval, Rankings& out) {
  const std::byte* data = bytes.data();
  std::size_t record = 0;
  while (bytes.size() >= kProcessRecordReadSize &&
         record <= bytes.size() - kProcessRecordReadSize) {
    const auto id = ReadAt<std::uint64_t>(data, record + kProcessIdOffset);
    if (id != 0) {  // the System Idle Process is the processors' idle time
      const auto createTime = ReadAt<std::uint64_t>(data, record + kProcessCreateTimeOffset);
      const std::uint64_t cpuTime = ReadAt<std::uint64_t>(data, record + kProcessUserTimeOffset) +
                                    ReadAt<std::uint64_t>(data, record + kProcessKernelTimeOffset);
      const std::u16string_view name = NameAt(bytes, record);
      const auto privateBytes =
          ReadAt<std::uint64_t>(data, record + kProcessPrivateWorkingSetOffset);
      out.privateKnown = out.privateKnown || privateBytes != 0;
      Offer(out.memory, out.memoryCount, static_cast<double>(privateBytes), name);
      Offer(out.workingSet, out.workingSetCount,
            static_cast<double>(ReadAt<std::uint64_t>(data, record + kProcessWorkingSetOffset)),
            name);
      if (interval > 0) {
        const std::uint64_t before = PreviousCpuTime(id, createTime);
        const double share =
            cpuTime > before ? static_cast<double>(cpuTime - before) / interval : 0.0;
        Offer(out.cpu, out.cpuCount, std::min(share, 1.0), name);
      }
      current_.push_back({id, createTime, cpuTime});
    }
    const auto next = ReadAt<std::uint32_t>(data, record + kProcessNextEntryOffset);
    if (next == 0) {
      return true;
    }
    // A record that overlaps its predecessor is as malformed as one past the end.
    if (next < kProcessRecordReadSize) {
      break;
    }
    record += next;
  }
  ReportFailure(latch_, "processes", "list_malformed", static_cast<std::uint32_t>(record));
  return false;
}

void ProcessCollector::Collect(std::uint64_t now, ProcessTop& top) {
  top.cpuCount = 0;
  top.memoryCount = 0;
  top.valid = false;
  std::uint32_t used = 0;
  if (!Query(&used)) {
    return;
  }
  if (processors_ == 0) {
    processors_ = std::max(source_.ProcessorCount(), 1u);
  }
  const double interval = hasPrevious_ && now > previousTime_
                              ? static_cast<double>(now - previousTime_) * processors_
                              : 0.0;
  Rankings rankings;
  current_.clear();
  if (!Parse(std::span<const std::byte>(buffer_).first(std::min<std::size_t>(used, buffer_.size())),
             interval, rankings)) {
    // A partial list would rank only part of the machine, and times from it would mislead.
    Forget();
    return;
  }
  if (TakeRecovered(latch_)) {
    LogEvent(kInfo, "processes", "recovered");
  }
  std::ranges::sort(current_, {}, &Times::id);
  // The next tick fills what is now the previous list: room for some more processes.
  if (previous_.capacity() < current_.size() + current_.size() / 8) {
    previous_.reserve(current_.size() + current_.size() / 4 + 16);
  }
  std::swap(previous_, current_);
  previousTime_ = now;
  hasPrevious_ = true;

  const auto fill = [](const Ranking& ranking, std::size_t count, auto& figures) {
    for (std::size_t i = 0; i < count; ++i) {
      SetProcessName(figures[i], ranking[i].name);
      figures[i].value = ranking[i].value;
    }
  };
  // Every live process has private pages. A list without any (Wine's) is ranked by the whole
  // working set, the closest measure it has, as the program's own memory is.
  if (!rankings.privateKnown) {
    rankings.memory = rankings.workingSet;
    rankings.memoryCount = rankings.workingSetCount;
  }
  fill(rankings.memory, rankings.memoryCount, top.memory);
  top.memoryCount = rankings.memoryCount;
  fill(rankings.cpu, rankings.cpuCount, top.cpu);
  top.cpuCount = rankings.cpuCount;
  top.valid = true;
}

}  // namespace lumetta
