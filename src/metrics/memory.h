// Physical memory, kernel memory, commit and the memory pressure level.
#pragma once

#include <cstdint>
#include <optional>

#include "app/log.h"

namespace lumetta {

enum class MemoryPressure : std::uint32_t { Normal = 0, Elevated = 1, Critical = 2 };

struct MemorySample {
  std::uint64_t usedPhysical = 0;
  std::uint64_t totalPhysical = 0;
  std::uint64_t kernel = 0;  // paged plus non-paged pool; 0 when it could not be read
  std::uint64_t commitUsed = 0;
  std::uint64_t commitLimit = 0;
  MemoryPressure pressure = MemoryPressure::Normal;
  bool valid = false;

  // "App" memory: what is in use outside the kernel pools.
  [[nodiscard]] std::uint64_t AppBytes() const {
    return kernel < usedPhysical ? usedPhysical - kernel : 0;
  }
};

// What the platform reports; `error` is the Windows error code of a failed call.
struct MemoryStatus {
  bool ok = false;
  std::uint32_t error = 0;
  std::uint32_t load = 0;  // whole percent of physical memory in use
  std::uint64_t totalPhysical = 0;
  std::uint64_t availablePhysical = 0;
  std::uint64_t totalPageFile = 0;
  std::uint64_t availablePageFile = 0;
};

struct KernelPools {
  bool ok = false;
  std::uint32_t error = 0;
  std::uint64_t pagedPages = 0;
  std::uint64_t nonpagedPages = 0;
  std::uint64_t pageSize = 0;
};

class MemorySource {
 public:
  virtual ~MemorySource() = default;
  virtual MemoryStatus QueryStatus() = 0;
  virtual KernelPools QueryKernelPools() = 0;
  // The system's low- and high-memory signals; nothing when there is no notification or
  // its query failed.
  virtual std::optional<bool> QueryLowMemory() = 0;
  virtual std::optional<bool> QueryHighMemory() = 0;
};

// Entered at 95 (Critical) or 85 (Elevated), left below 90 or 80; the low-memory signal
// forces Critical and a missing high-memory signal keeps at least Elevated.
[[nodiscard]] MemoryPressure RatePressure(std::uint32_t load, double commitPercent, bool low,
                                          bool high, std::optional<MemoryPressure> previous);

class MemoryCollector {
 public:
  explicit MemoryCollector(MemorySource& source) : source_(source) {}
  MemorySample Collect();

 private:
  MemorySource& source_;
  std::optional<MemoryPressure> previousLevel_;
  FailureLatch statusLatch_;
  FailureLatch performanceLatch_;
};

}  // namespace lumetta
