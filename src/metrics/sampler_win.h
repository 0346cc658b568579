// The Sampler over the real platform: it owns the Win32 sources its collectors read.
#pragma once

#include <windows.h>

#include <memory>

#include "metrics/sampler.h"

namespace lumetta {

class Win32Sampler {
 public:
  // `window` and `message` receive the completion of background queries.
  Win32Sampler(HWND window, UINT message);
  ~Win32Sampler();
  Win32Sampler(const Win32Sampler&) = delete;
  Win32Sampler& operator=(const Win32Sampler&) = delete;

  void Tick(const Settings& settings) { sampler_->Tick(settings); }
  [[nodiscard]] const Snapshot& snapshot() const { return sampler_->snapshot(); }
  void RefreshNetworkLabel() { sampler_->RefreshNetworkLabel(); }
  void BatteryChanged() { sampler_->BatteryChanged(); }

 private:
  struct Sources;
  std::unique_ptr<Sources> sources_;
  std::unique_ptr<Sampler> sampler_;  // destroyed before the sources it reads
};

}  // namespace lumetta
