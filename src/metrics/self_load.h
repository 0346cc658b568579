// The program's own CPU share (a moving average over up to 11 ticks) and private working set.
#pragma once

#include <cstdint>

#include "app/log.h"
#include "metrics/history_ring.h"

namespace lumetta {

struct SelfSample {
  double cpuShare = 0;  // 1.0 is one logical processor fully busy
  std::uint64_t privateWorkingSet = 0;
  bool valid = false;
};

struct ProcessUsage {
  bool ok = false;
  std::uint32_t error = 0;
  std::uint64_t cpuTime = 0;  // kernel plus user, 100-ns units
  std::uint64_t privateWorkingSet = 0;
};

class SelfSource {
 public:
  virtual ~SelfSource() = default;
  virtual ProcessUsage Query() = 0;
};

class SelfCollector {
 public:
  static constexpr std::size_t kWindow = 11;

  explicit SelfCollector(SelfSource& source) : source_(source) {}
  SelfSample Collect(std::uint64_t now);

 private:
  struct Entry {
    std::uint64_t cpuTime = 0;
    std::uint64_t wallTime = 0;
  };

  SelfSource& source_;
  Ring<Entry, kWindow> samples_;
  FailureLatch queryLatch_;
};

}  // namespace lumetta
