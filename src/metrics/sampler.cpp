#include "metrics/sampler.h"

#include "metrics/hardware_names.h"

namespace lumetta {

std::uint64_t CounterTo100ns(std::uint64_t counter, std::uint64_t frequency) {
  constexpr std::uint64_t kUnitsPerSecond = 10'000'000;
  return counter / frequency * kUnitsPerSecond + counter % frequency * kUnitsPerSecond / frequency;
}

Sampler::Sampler(const MetricsSources& sources)
    : timeSource_(sources.timeSource),
      cpu_(sources.cpuTimes),
      cpuFrequency_(sources.frequencyCounters),
      gpu_(sources.gpu),
      memory_(sources.memory),
      network_(sources.network),
      wifi_(sources.wifi),
      disk_(sources.disk),
      diskActivity_(sources.diskCounters),
      self_(sources.self),
      processes_(sources.processes),
      battery_(sources.battery) {
  snapshot_.cpuModel = ShortCpuName(sources.processorName);
  snapshot_.cpuVendor = VendorOf(sources.processorName);
}

// The Wi-Fi work item goes first: its callback may still be running.
Sampler::~Sampler() {
  wifi_.Shutdown();
}

void Sampler::TickCpu(const Settings& settings) {
  if (!settings.showCpu) {
    snapshot_.cpuCores.clear();
    snapshot_.cpuValid = false;
    snapshot_.cpuFrequencyValid = false;
    cpuFrequency_.Close();
    return;
  }
  const CpuLoad& load = cpu_.Collect();
  snapshot_.cpuValid = load.valid;
  if (load.valid) {
    snapshot_.cpuTotal = load.total;
    // Same processor count each tick: the vector's storage is reused.
    snapshot_.cpuCores.assign(load.cores.begin(), load.cores.end());
    snapshot_.cpuHistory.push(load.total);
  } else {
    snapshot_.cpuCores.clear();
  }
  if (settings.showHardwareDetails) {
    const CpuFrequency frequency = cpuFrequency_.Collect();
    snapshot_.cpuFrequencyMhz = frequency.mhz;
    snapshot_.cpuFrequencyValid = frequency.valid;
  } else {
    snapshot_.cpuFrequencyValid = false;
    cpuFrequency_.Close();
  }
}

void Sampler::TickGpu(std::uint64_t now) {
  const GpuLoad load = gpu_.Collect(now);
  snapshot_.gpuBusy = load.busy;
  snapshot_.gpuValid = load.valid;
  snapshot_.gpuModel = gpu_.model();
  snapshot_.gpuVendor = gpu_.vendor();
  if (load.valid) {
    snapshot_.gpuHistory.push(load.busy);
  }
}

void Sampler::TickNetwork(std::uint64_t now) {
  const bool wasPresent = networkCache_.present;
  const InterfaceGuid previousGuid = networkCache_.interfaceGuid;
  const NetworkReading reading = network_.Collect(now);
  if (reading.valid) {
    networkCache_.receive = reading.receive;
    networkCache_.send = reading.send;
    networkCache_.ratesValid = reading.ratesValid;
    networkCache_.alias = reading.row->alias;
    networkCache_.interfaceGuid = reading.row->guid;
    networkCache_.wireless = reading.Wireless();
    networkCache_.present = true;
  } else {
    networkCache_.alias.clear();
    networkCache_.present = false;
  }
  if (!networkCache_.present) {
    snapshot_.netRatesValid = false;
    snapshot_.netLabel.reset();
    return;
  }
  snapshot_.netReceive = networkCache_.receive;
  snapshot_.netSend = networkCache_.send;
  snapshot_.netRatesValid = networkCache_.ratesValid;
  if (snapshot_.netRatesValid) {
    snapshot_.netReceiveHistory.push(snapshot_.netReceive);
    snapshot_.netSendHistory.push(snapshot_.netSend);
  }
  if (networkCache_.wireless && (!wasPresent || networkCache_.interfaceGuid != previousGuid ||
                                 now - lastWifiSubmit_ >= kWifiQueryInterval)) {
    // A query still running makes this a no-op; the next try waits for the 30-second mark.
    wifi_.Submit(networkCache_.interfaceGuid);
    lastWifiSubmit_ = now;
  }
  RefreshNetworkLabel();
}

void Sampler::RefreshNetworkLabel() {
  if (!networkCache_.present) {
    return;
  }
  std::u16string_view generation;
  const std::u16string* ssid = nullptr;
  if (networkCache_.wireless && wifi_.Take(wifiResult_) &&
      wifiResult_.interfaceGuid == networkCache_.interfaceGuid) {
    if (wifiResult_.phyType) {
      generation = WifiGenerationName(*wifiResult_.phyType);
    }
    if (showSsid_ && wifiResult_.ssid) {
      ssid = &*wifiResult_.ssid;
    }
  }
  // Assigned in place so that a steady label reuses its storage.
  std::u16string& label = snapshot_.netLabel ? *snapshot_.netLabel : snapshot_.netLabel.emplace();
  label.assign(generation.empty() ? std::u16string_view(networkCache_.alias) : generation);
  if (ssid != nullptr && !ssid->empty()) {
    label.append(kLabelSeparator);
    label.append(*ssid);
  }
}

void Sampler::Tick(const Settings& settings) {
  const std::uint64_t now = timeSource_.Now();
  TickCpu(settings);

  if (settings.showGpu) {
    TickGpu(now);
  } else {
    snapshot_.gpuValid = false;
  }
  if (settings.showGpu && settings.showGpuDetails) {
    snapshot_.gpuDetails = gpu_.CollectDetails();
  } else {
    snapshot_.gpuDetails = {};
    gpu_.ReleaseDetails();
  }

  if (settings.showMemory) {
    snapshot_.memory = memory_.Collect();
  } else {
    snapshot_.memory.valid = false;
  }

  if (settings.showNetwork) {
    showSsid_ = settings.showSsid;
    TickNetwork(now);
  } else {
    snapshot_.netRatesValid = false;
    snapshot_.netLabel.reset();
    // The next enabled tick treats the interface as new and asks for Wi-Fi details at once.
    networkCache_ = NetworkCache{};
  }

  if (!settings.showDisk) {
    snapshot_.disk.valid = false;
  } else if (!snapshot_.disk.valid || now - lastDiskQuery_ >= kDiskQueryInterval) {
    // A failed query leaves the value invalid, so it is tried again on the next tick.
    snapshot_.disk = disk_.Collect();
    lastDiskQuery_ = now;
  }
  if (settings.showDisk && settings.showDiskActivity) {
    snapshot_.diskActivity = diskActivity_.Collect();
  } else {
    snapshot_.diskActivity.valid = false;
    diskActivity_.Close();
  }

  if (settings.showSelf) {
    snapshot_.self = self_.Collect(now);
  } else {
    snapshot_.self.valid = false;
  }

  if (settings.showProcesses) {
    processes_.Collect(now, snapshot_.processes);
  } else {
    snapshot_.processes = {};
    processes_.Forget();
  }

  if (settings.showBattery) {
    snapshot_.battery = battery_.Collect();
  } else {
    snapshot_.battery = {};
    battery_.MarkChanged();  // read afresh when the row comes back
  }
}

}  // namespace lumetta
