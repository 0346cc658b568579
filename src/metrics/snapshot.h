// The values of the last tick, each with a valid flag, and the histories behind the charts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "metrics/battery.h"
#include "metrics/disk.h"
#include "metrics/disk_activity.h"
#include "metrics/gpu.h"
#include "metrics/history_ring.h"
#include "metrics/memory.h"
#include "metrics/processes.h"
#include "metrics/self_load.h"

namespace lumetta {

struct Snapshot {
  std::u16string cpuModel;
  std::u16string cpuVendor;
  double cpuFrequencyMhz = 0;
  bool cpuFrequencyValid = false;
  std::u16string gpuModel;
  std::u16string gpuVendor;
  double cpuTotal = 0;
  std::vector<double> cpuCores;  // empty unless cpuValid
  bool cpuValid = false;
  HistoryRing cpuHistory;
  double gpuBusy = 0;
  bool gpuValid = false;
  HistoryRing gpuHistory;
  GpuDetails gpuDetails;  // while its row is on
  MemorySample memory;
  double netReceive = 0;  // bytes per second
  double netSend = 0;
  bool netRatesValid = false;
  std::optional<std::u16string> netLabel;
  HistoryRing netReceiveHistory;
  HistoryRing netSendHistory;
  DiskSample disk;
  DiskActivitySample diskActivity;  // while its row is on
  BatterySample battery;            // while its row is on
  ProcessTop processes;             // while its section is shown
  SelfSample self;
};

}  // namespace lumetta
