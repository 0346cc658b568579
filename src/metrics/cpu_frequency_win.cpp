#include <windows.h>

#include <pdh.h>

#include "base/owner_win.h"
#include "metrics/sources_win.h"

namespace lumetta {
namespace {

// English counter names work under every display language.
constexpr wchar_t kFrequencyPath[] = L"\\Processor Information(_Total)\\Processor Frequency";
constexpr wchar_t kPerformancePath[] = L"\\Processor Information(_Total)\\% Processor Performance";

// A PDH query; its counters go with it.
using UniqueQuery = UniqueOwner<NullEmptyTraits<PDH_HQUERY, &PdhCloseQuery>>;

class PdhFrequencyCounters final : public FrequencyCounters {
 public:
  std::uint32_t Open() override {
    PDH_STATUS status = PdhOpenQueryW(nullptr, 0, query_.put());
    if (status == ERROR_SUCCESS) {
      status = PdhAddEnglishCounterW(query_.get(), kFrequencyPath, 0, &frequency_);
    }
    if (status == ERROR_SUCCESS) {
      status = PdhAddEnglishCounterW(query_.get(), kPerformancePath, 0, &performance_);
    }
    return static_cast<std::uint32_t>(status);
  }
  std::uint32_t Collect() override {
    return static_cast<std::uint32_t>(PdhCollectQueryData(query_.get()));
  }
  CounterValue Frequency() override { return Format(frequency_); }
  CounterValue Performance() override { return Format(performance_); }
  void Close() override {
    query_.reset();
    frequency_ = nullptr;
    performance_ = nullptr;
  }

 private:
  static CounterValue Format(PDH_HCOUNTER counter) {
    PDH_FMT_COUNTERVALUE value{};
    // Not capped at 100: the performance percentage exceeds it under turbo.
    const PDH_STATUS status =
        PdhGetFormattedCounterValue(counter, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, nullptr, &value);
    return {static_cast<std::uint32_t>(status), static_cast<std::uint32_t>(value.CStatus),
            value.doubleValue};
  }

  UniqueQuery query_;
  PDH_HCOUNTER frequency_ = nullptr;
  PDH_HCOUNTER performance_ = nullptr;
};

}  // namespace

std::unique_ptr<FrequencyCounters> MakeWin32FrequencyCounters() {
  return std::make_unique<PdhFrequencyCounters>();
}

}  // namespace lumetta
