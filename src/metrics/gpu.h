// GPU load: the busiest engine of the busiest hardware adapter, from the kernel's running
// times per engine, without creating any graphics device.
#pragma once

#include <cstddef>
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

// From the adapter's statistics; neither changes while the adapter is there.
struct KmtCounts {
  std::uint32_t nodes = 0;
  std::uint32_t segments = 0;
};

struct KmtSegment {
  std::uint64_t commitLimit = 0;
  std::uint64_t bytesResident = 0;
  bool aperture = false;  // system memory the adapter maps, not its own
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
  // The adapter's engine and memory segment counts, or nothing when its statistics query failed.
  virtual std::optional<KmtCounts> AdapterCounts(std::uint64_t luid) = 0;
  // Accumulated running time of one engine (100-ns units); a negative status is a failure.
  virtual std::int32_t NodeRunningTime(std::uint64_t luid, std::uint32_t node,
                                       std::uint64_t* runningTime) = 0;
  // A handle for the queries that take one; a negative status is a failure.
  virtual std::int32_t OpenAdapter(std::uint64_t luid, std::uint32_t* handle) = 0;
  // The main temperature sensor in tenths of a degree Celsius, 0 when the driver has none.
  virtual std::int32_t Temperature(std::uint32_t handle, std::uint32_t* tenths) = 0;
  virtual std::int32_t Segment(std::uint64_t luid, std::uint32_t segment, KmtSegment* info) = 0;
};

// The named adapter's temperature and dedicated memory, where its driver reports them.
struct GpuDetails {
  double temperatureCelsius = 0;
  bool temperatureValid = false;
  std::uint64_t dedicatedUsedBytes = 0;
  std::uint64_t dedicatedTotalBytes = 0;
  bool memoryValid = false;
  bool operator==(const GpuDetails&) const = default;
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
  ~GpuCollector() { ReleaseDetails(); }
  GpuCollector(const GpuCollector&) = delete;
  GpuCollector& operator=(const GpuCollector&) = delete;

  GpuLoad Collect(std::uint64_t now);
  // The named adapter's temperature and dedicated memory, after this tick's Collect.
  GpuDetails CollectDetails();
  // Closes what the details opened; a query that failed is asked again after this.
  void ReleaseDetails();
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
    std::uint32_t segments = 0;
    std::optional<std::uint32_t> handle;  // opened for the temperature
    // A driver that cannot answer now will not later: such a query is not repeated.
    bool temperatureFailed = false;
    bool memoryFailed = false;
  };

  bool Enumerate();
  void Temperature(Adapter& adapter, GpuDetails& details);
  void DedicatedMemory(Adapter& adapter, GpuDetails& details);

  GpuSource& source_;
  std::vector<Adapter> adapters_;
  std::size_t named_ = 0;  // the adapter model() names
  std::vector<KmtAdapter> records_;
  std::u16string model_;
  std::u16string vendor_;
  bool initialized_ = false;
  bool hasPrevious_ = false;
  std::uint64_t previousTime_ = 0;
  FailureLatch enumLatch_;
  FailureLatch nodeLatch_;
  FailureLatch temperatureLatch_;
  FailureLatch memoryLatch_;
};

}  // namespace lumetta
