// snapshots [TICKS] [INTERVAL_MS]: ticks a live Sampler with every section on and prints one
// line per tick, so the measured values can be looked at under Wine or on Windows.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "metrics/hardware_names.h"
#include "metrics/sampler_win.h"
#include "text/utf.h"

namespace {

std::string Utf8(const std::u16string& text) {
  return lumetta::ToUtf8(text);
}

double Gib(std::uint64_t bytes) {
  return static_cast<double>(bytes) / (1ull << 30);
}
double Mib(std::uint64_t bytes) {
  return static_cast<double>(bytes) / (1ull << 20);
}

void Print(int tick, const lumetta::Snapshot& s) {
  std::printf("tick %d | %s %s %s |", tick, Utf8(s.cpuVendor).c_str(), Utf8(s.cpuModel).c_str(),
              s.cpuFrequencyValid ? Utf8(lumetta::FrequencyText(s.cpuFrequencyMhz)).c_str() : "-");
  if (s.cpuValid) {
    std::printf(" cpu %5.1f%% [", s.cpuTotal * 100);
    for (double core : s.cpuCores) {
      std::printf(" %.0f", core * 100);
    }
    std::printf(" ]");
  } else {
    std::printf(" cpu -");
  }
  std::printf(" | gpu %s %s ", Utf8(s.gpuVendor).c_str(), Utf8(s.gpuModel).c_str());
  if (s.gpuValid) {
    std::printf("%.1f%%", s.gpuBusy * 100);
  } else {
    std::printf("-");
  }
  if (s.memory.valid) {
    static const char* const kLevels[] = {"Normal", "Elevated", "Critical"};
    std::printf(" | mem %.2f/%.2f GiB app %.2f kernel %.2f commit %.2f/%.2f %s",
                Gib(s.memory.usedPhysical), Gib(s.memory.totalPhysical), Gib(s.memory.AppBytes()),
                Gib(s.memory.kernel), Gib(s.memory.commitUsed), Gib(s.memory.commitLimit),
                kLevels[static_cast<int>(s.memory.pressure)]);
  } else {
    std::printf(" | mem -");
  }
  std::printf(" | net %s ", s.netLabel ? Utf8(*s.netLabel).c_str() : "-");
  if (s.netRatesValid) {
    std::printf("down %.0f B/s up %.0f B/s", s.netReceive, s.netSend);
  } else {
    std::printf("-");
  }
  if (s.disk.valid) {
    std::printf(" | disk %.1f/%.1f GiB", Gib(s.disk.usedBytes), Gib(s.disk.totalBytes));
  } else {
    std::printf(" | disk -");
  }
  if (s.self.valid) {
    std::printf(" | self %.2f%% %.1f MiB", s.self.cpuShare * 100, Mib(s.self.privateWorkingSet));
  } else {
    std::printf(" | self -");
  }
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 5;
  const DWORD interval = argc > 2 ? static_cast<DWORD>(std::atoi(argv[2])) : 1000;
  lumetta::Win32Sampler sampler(nullptr, WM_APP + 1);
  lumetta::Settings settings;
  settings.showSelf = true;
  for (int tick = 1; tick <= ticks; ++tick) {
    sampler.Tick(settings);
    Print(tick, sampler.snapshot());
    if (tick < ticks) {
      Sleep(interval);
    }
  }
  return 0;
}
