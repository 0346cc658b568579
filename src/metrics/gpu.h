// GPU load: the busiest engine of the busiest hardware adapter, from the kernel's running
// times per engine, without creating any graphics device.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/log.h"

namespace lumetta {

inline constexpr std::uint32_t kStatusNotFound = 0xC0000225;
inline constexpr std::uint32_t kAdapterTypeSoftwareDevice = 0x4;

struct KmtAdapter {
  std::uint32_t handle = 0;
  std::uint64_t luid = 0;
};

// The kernel-mode display interface (D3DKMT).
class GpuSource {
 public:
  virtual ~GpuSource() = default;
  // Fills `adapters`; a negative status is a failure.
  virtual std::int32_t Enumerate(std::vector<KmtAdapter>& adapters) = 0;
  // The adapter type bits, or nothing when the query failed.
  virtual std::optional<std::uint32_t> AdapterType(std::uint32_t handle) = 0;
  // The adapter's name from its registry information, or nothing when the query failed.
  virtual std::optional<std::u16string> AdapterName(std::uint32_t handle) = 0;
  virtual void CloseAdapter(std::uint32_t handle) = 0;
  // The adapter's engine count, or nothing when its statistics query failed.
  virtual std::optional<std::uint32_t> NodeCount(std::uint64_t luid) = 0;
  // Accumulated running time of one engine (100-ns units); a negative status is a failure.
  virtual std::int32_t NodeRunningTime(std::uint64_t luid, std::uint32_t node,
                                       std::uint64_t* runningTime) = 0;
};

// The named adapter's temperature and dedicated memory, where its driver reports them.
struct GpuDetails {
  double temperatureCelsius = 0;
  bool temperatureValid = false;
  std::uint64_t dedicatedUsedBytes = 0;
  std::uint64_t dedicatedTotalBytes = 0;
  bool memoryValid = false;
};

struct GpuLoad {
  double busy = 0;
  bool valid = false;
};

// The busiest node's share of `elapsed`, clamped to 1; nothing without a usable pair.
[[nodiscard]] std::optional<double> AdapterBusy(const std::vector<std::uint64_t>& previous,
                                                const std::vector<std::uint64_t>& current,
                                                std::uint64_t elapsed);

class GpuCollector {
 public:
  explicit GpuCollector(GpuSource& source) : source_(source) {}
  GpuLoad Collect(std::uint64_t now);
  // The adapter last reported (the busiest, or the first after an enumeration).
  [[nodiscard]] const std::u16string& model() const { return model_; }
  [[nodiscard]] const std::u16string& vendor() const { return vendor_; }

 private:
  struct Adapter {
    std::uint64_t luid = 0;
    std::u16string model;
    std::u16string vendor;
    std::vector<std::uint64_t> previousRunning;
    std::vector<std::uint64_t> currentRunning;
  };

  bool Enumerate();

  GpuSource& source_;
  std::vector<Adapter> adapters_;
  std::vector<KmtAdapter> records_;
  std::u16string model_;
  std::u16string vendor_;
  bool initialized_ = false;
  bool hasPrevious_ = false;
  std::uint64_t previousTime_ = 0;
  FailureLatch enumLatch_;
  FailureLatch nodeLatch_;
};

}  // namespace lumetta
