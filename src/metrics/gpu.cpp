#include "metrics/gpu.h"

#include <algorithm>

#include "metrics/hardware_names.h"
#include "text/utf.h"

namespace lumetta {

std::optional<double> AdapterBusy(const std::vector<std::uint64_t>& previous,
                                  const std::vector<std::uint64_t>& current,
                                  std::uint64_t elapsed) {
  if (elapsed == 0 || current.empty() || current.size() != previous.size()) {
    return std::nullopt;
  }
  double busiest = 0;
  for (std::size_t i = 0; i < current.size(); ++i) {
    if (current[i] > previous[i]) {
      busiest = std::max(
          busiest, static_cast<double>(current[i] - previous[i]) / static_cast<double>(elapsed));
    }
  }
  return std::min(busiest, 1.0);
}

bool GpuCollector::Enumerate() {
  ReleaseDetails();
  adapters_.clear();
  named_ = 0;
  hasPrevious_ = false;
  records_.clear();
  if (const std::int32_t status = source_.Enumerate(records_); status < 0) {
    ReportFailure(enumLatch_, "gpu", "enumerate_failed", static_cast<std::uint32_t>(status));
    return false;
  }
  for (const KmtAdapter& record : records_) {
    const std::optional<std::uint32_t> type = source_.AdapterType(record.handle);
    const std::optional<std::u16string> name = source_.AdapterName(record.handle);
    source_.CloseAdapter(record.handle);
    // The software renderer is not graphics hardware.
    if (!type || (*type & kAdapterTypeSoftwareDevice) != 0) {
      continue;
    }
    const std::optional<KmtCounts> counts = source_.AdapterCounts(record.luid);
    if (!counts || counts->nodes == 0) {
      continue;
    }
    Adapter adapter;
    adapter.luid = record.luid;
    if (name) {
      adapter.model = ShortGpuName(*name);
      adapter.vendor = VendorOf(*name);
    }
    adapter.previousRunning.assign(counts->nodes, 0);
    adapter.currentRunning.assign(counts->nodes, 0);
    adapter.segments = counts->segments;
    adapters_.push_back(std::move(adapter));
  }
  if (adapters_.empty()) {
    ReportFailure(enumLatch_, "gpu", "no_hardware_adapter", kStatusNotFound);
    return false;
  }
  if (TakeRecovered(enumLatch_)) {
    LogEvent(kInfo, "gpu", "recovered");
  }
  LogEvent(
      kInfo, "gpu", "adapters_enumerated",
      "count=" + std::to_string(adapters_.size()) + " first=" + ToUtf8(adapters_.front().model));
  model_ = adapters_.front().model;
  vendor_ = adapters_.front().vendor;
  initialized_ = true;
  return true;
}

GpuLoad GpuCollector::Collect(std::uint64_t now) {
  if (!initialized_ && !Enumerate()) {
    return {};
  }
  for (Adapter& adapter : adapters_) {
    for (std::uint32_t node = 0; node < adapter.currentRunning.size(); ++node) {
      const std::int32_t status =
          source_.NodeRunningTime(adapter.luid, node, &adapter.currentRunning[node]);
      if (status < 0) {
        ReportFailure(nodeLatch_, "gpu", "node_query_failed", static_cast<std::uint32_t>(status));
        initialized_ = false;
        return {};
      }
    }
  }
  if (TakeRecovered(nodeLatch_)) {
    LogEvent(kInfo, "gpu", "recovered");
  }
  GpuLoad load;
  if (hasPrevious_) {
    for (std::size_t i = 0; i < adapters_.size(); ++i) {
      const Adapter& adapter = adapters_[i];
      const std::optional<double> busy =
          AdapterBusy(adapter.previousRunning, adapter.currentRunning, now - previousTime_);
      // Strictly greater: a tie keeps the earlier adapter.
      if (busy && (!load.valid || *busy > load.busy)) {
        load = {*busy, true};
        model_ = adapter.model;
        vendor_ = adapter.vendor;
        named_ = i;
      }
    }
  }
  for (Adapter& adapter : adapters_) {
    std::swap(adapter.previousRunning, adapter.currentRunning);
  }
  previousTime_ = now;
  hasPrevious_ = true;
  return load;
}

void GpuCollector::Temperature(Adapter& adapter, GpuDetails& details) {
  std::int32_t status = 0;
  const char* event = "open_adapter_failed";
  if (!adapter.handle) {
    std::uint32_t handle = 0;
    status = source_.OpenAdapter(adapter.luid, &handle);
    if (status >= 0) {
      adapter.handle = handle;
    }
  }
  std::uint32_t tenths = 0;
  if (status >= 0) {
    event = "temperature_failed";
    status = source_.Temperature(*adapter.handle, &tenths);
  }
  // A missing export, or a driver older than the data (STATUS_NOT_SUPPORTED or
  // STATUS_INVALID_PARAMETER).
  if (status < 0) {
    ReportFailure(temperatureLatch_, "gpu", event, static_cast<std::uint32_t>(status));
    adapter.temperatureFailed = true;
    if (adapter.handle) {  // not asked again: nothing to keep open for
      source_.CloseAdapter(*adapter.handle);
      adapter.handle.reset();
    }
    return;
  }
  // Zero: the driver reports no sensor, or the GPU sleeps.
  details.temperatureCelsius = tenths / 10.0;
  details.temperatureValid = tenths != 0;
}

void GpuCollector::DedicatedMemory(Adapter& adapter, GpuDetails& details) {
  std::uint64_t used = 0;
  std::uint64_t total = 0;
  for (std::uint32_t i = 0; i < adapter.segments; ++i) {
    KmtSegment segment;
    if (const std::int32_t status = source_.Segment(adapter.luid, i, &segment); status < 0) {
      ReportFailure(memoryLatch_, "gpu", "segment_query_failed",
                    static_cast<std::uint32_t>(status));
      adapter.memoryFailed = true;
      return;
    }
    // Aperture segments are system memory the adapter maps, shared with everything else.
    if (!segment.aperture) {
      used += segment.bytesResident;
      total += segment.commitLimit;
    }
  }
  // Nothing reported (no segments, or none of the adapter's own): nothing shown.
  details.dedicatedUsedBytes = used;
  details.dedicatedTotalBytes = total;
  details.memoryValid = total != 0;
}

GpuDetails GpuCollector::CollectDetails() {
  GpuDetails details;
  if (!initialized_) {
    return details;
  }
  Adapter& adapter = adapters_[named_];
  if (!adapter.temperatureFailed) {
    Temperature(adapter, details);
  }
  if (!adapter.memoryFailed) {
    DedicatedMemory(adapter, details);
  }
  return details;
}

void GpuCollector::ReleaseDetails() {
  for (Adapter& adapter : adapters_) {
    if (adapter.handle) {
      source_.CloseAdapter(*adapter.handle);
      adapter.handle.reset();
    }
    adapter.temperatureFailed = false;
    adapter.memoryFailed = false;
  }
}

}  // namespace lumetta
