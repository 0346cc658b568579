#include "metrics/sampler_win.h"

#include "metrics/hardware_names.h"
#include "metrics/sources_win.h"

namespace lumetta {

struct Win32Sampler::Sources {
  Sources(HWND window, UINT message) : wifi(MakeWin32Wifi(window, message)) {}

  std::unique_ptr<TimeSource> timeSource = MakeWin32TimeSource();
  std::unique_ptr<CpuTimesSource> cpuTimes = MakeWin32CpuTimes();
  std::unique_ptr<FrequencyCounters> frequencyCounters = MakeWin32FrequencyCounters();
  std::unique_ptr<GpuSource> gpu = MakeWin32Gpu();
  std::unique_ptr<MemorySource> memory = MakeWin32Memory();
  std::unique_ptr<NetworkSource> network = MakeWin32Network();
  std::unique_ptr<WifiPlatform> wifi;
  std::unique_ptr<DiskSource> disk = MakeWin32Disk();
  std::unique_ptr<DiskCounters> diskCounters = MakeWin32DiskCounters();
  std::unique_ptr<SelfSource> self = MakeWin32Self();
  std::unique_ptr<ProcessSource> processes = MakeWin32Processes();
  std::unique_ptr<BatterySource> battery = MakeWin32Battery();
};

Win32Sampler::Win32Sampler(HWND window, UINT message)
    : sources_(std::make_unique<Sources>(window, message)),
      sampler_(std::make_unique<Sampler>(
          MetricsSources{*sources_->timeSource, *sources_->cpuTimes, *sources_->frequencyCounters,
                         *sources_->gpu, *sources_->memory, *sources_->network, *sources_->wifi,
                         *sources_->disk, *sources_->diskCounters, *sources_->self,
                         ReadProcessorName(), *sources_->processes, *sources_->battery})) {}

Win32Sampler::~Win32Sampler() {
  sampler_.reset();
  sources_.reset();
}

}  // namespace lumetta
