#include "metrics/sampler_win.h"

#include "metrics/sources_win.h"

namespace lumetta {

struct Win32Sampler::Sources {
  std::unique_ptr<Clock> clock = MakeWin32Clock();
  std::unique_ptr<CpuTimesSource> cpuTimes = MakeWin32CpuTimes();
  std::unique_ptr<MemorySource> memory = MakeWin32Memory();
  std::unique_ptr<DiskSource> disk = MakeWin32Disk();
  std::unique_ptr<SelfSource> self = MakeWin32Self();
};

Win32Sampler::Win32Sampler(HWND, UINT)
    : sources_(std::make_unique<Sources>()),
      sampler_(std::make_unique<Sampler>(MetricsSources{*sources_->clock, *sources_->cpuTimes,
                                                        *sources_->memory, *sources_->disk,
                                                        *sources_->self})) {}

Win32Sampler::~Win32Sampler() {
  sampler_.reset();
  sources_.reset();
}

}  // namespace lumetta
