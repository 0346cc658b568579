// The card's view built for a steady tick: its cost, and its heap allocations per build (counted
// by a replaced global operator new), with the default card and with every addition on.
#include <benchmark/benchmark.h>

#include "alloc_counter.h"
#include "card/card_view.h"

namespace {

// Texts of a typical length with the placeholders the card fills.
class BenchTexts final : public lumetta::TextSource {
 public:
  [[nodiscard]] std::u16string Text(std::uint32_t) const override { return u"Words {0} / {1}"; }
};

lumetta::Snapshot Measured() {
  lumetta::Snapshot s;
  s.cpuVendor = u"Intel";
  s.cpuModel = u"i7-12700K";
  s.cpuFrequencyMhz = 4650;
  s.cpuFrequencyValid = s.cpuValid = s.gpuValid = s.netRatesValid = true;
  s.gpuVendor = u"NVIDIA";
  s.gpuModel = u"RTX 4070";
  s.memory = {10ull << 30, 16ull << 30, 1ull << 30,
              14ull << 30, 20ull << 30, lumetta::MemoryPressure::Normal,
              true};
  s.netReceive = 1.5 * 1048576;
  s.netLabel = u"Wi-Fi 6 \u00B7 HomeNet";
  s.disk = {335ull << 30, 476ull << 30, true};
  s.self = {0.004, 10'276'044, true};
  s.gpuDetails = {61.6, true, 2ull << 30, 12ull << 30, true};
  s.diskActivity = {4.2 * 1048576, 850 * 1024, true};
  s.battery = {true, 0.76, true, false, false, 8040, true};
  s.processes.valid = true;
  s.processes.cpuCount = s.processes.memoryCount = 3;
  for (auto* list : {&s.processes.cpu, &s.processes.memory}) {
    for (lumetta::ProcessFigure& figure : *list) {
      figure.nameLength = std::u16string_view(u"SearchIndexer").copy(figure.name.data(), 24);
      figure.value = 0.05;
    }
  }
  return s;
}

void BM_BuildCardView(benchmark::State& state) {
  const BenchTexts texts;
  const lumetta::CardWords words(texts);
  lumetta::Snapshot snapshot = Measured();
  lumetta::Settings settings;
  settings.showSelf = true;
  if (state.range(0) == 1) {
    for (const lumetta::SettingsBool& entry : lumetta::kOptInBools) {
      settings.*entry.field = true;
    }
  }
  lumetta::CardView view;
  const auto build = [&](int second) {
    lumetta::BuildCardView({.snapshot = snapshot,
                            .settings = settings,
                            .date = u"Monday, December 7",
                            .hour = 10,
                            .minute = 42,
                            .second = second,
                            .sentences = false},
                           words, view);
  };
  build(0);  // the view's strings sized
  const std::uint64_t before = lumetta::bench::AllocationCount();
  int second = 0;
  for (auto _ : state) {
    snapshot.cpuTotal = (second % 100) / 100.0;  // figures that change from tick to tick
    snapshot.netReceive += 1000;
    build(++second % 60);
    benchmark::DoNotOptimize(view);
  }
  state.counters["allocs/build"] =
      benchmark::Counter(static_cast<double>(lumetta::bench::AllocationCount() - before) /
                         static_cast<double>(state.iterations()));
}
// 0: the default card and Lumetta's own load; 1: every addition on too.
BENCHMARK(BM_BuildCardView)->Arg(0)->Arg(1);

}  // namespace
