// Cost of the text paths that run at start-up and on every settings change or log line.
#include <benchmark/benchmark.h>

#include "app/log.h"
#include "settings/settings.h"
#include "text/json.h"

namespace {

void BM_SettingsFromJson(benchmark::State& state) {
  lumetta::Settings settings;
  settings.hasWindowPosition = true;
  settings.windowX = 1722;
  const std::string text = lumetta::SettingsToJson(settings);
  for (auto _ : state) {
    benchmark::DoNotOptimize(lumetta::SettingsFromJson(text));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_SettingsFromJson);

void BM_SettingsToJson(benchmark::State& state) {
  const lumetta::Settings settings;
  for (auto _ : state) {
    benchmark::DoNotOptimize(lumetta::SettingsToJson(settings));
  }
}
BENCHMARK(BM_SettingsToJson);

void BM_FormatLogLine(benchmark::State& state) {
  const lumetta::LogTime time{2026, 12, 5, 12, 39, 30, 123};
  for (auto _ : state) {
    benchmark::DoNotOptimize(lumetta::FormatLogLine(time, lumetta::kWarn, "network",
                                                    "if_entry_failed", "code=0x00000005"));
  }
}
BENCHMARK(BM_FormatLogLine);

}  // namespace
