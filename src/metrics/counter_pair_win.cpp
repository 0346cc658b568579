#include "metrics/counter_pair_win.h"

#include <windows.h>

#include <pdh.h>

#include "base/owner_win.h"

namespace lumetta {
namespace {

// A PDH query; its counters go with it.
using UniqueQuery = UniqueOwner<NullEmptyTraits<PDH_HQUERY, &PdhCloseQuery>>;

class PdhCounterPair final : public CounterPair {
 public:
  PdhCounterPair(const wchar_t* firstPath, const wchar_t* secondPath)
      : firstPath_(firstPath), secondPath_(secondPath) {}

  std::uint32_t Open() override {
    PDH_STATUS status = PdhOpenQueryW(nullptr, 0, query_.put());
    // English counter names work under every display language.
    if (status == ERROR_SUCCESS) {
      status = PdhAddEnglishCounterW(query_.get(), firstPath_, 0, &first_);
    }
    if (status == ERROR_SUCCESS) {
      status = PdhAddEnglishCounterW(query_.get(), secondPath_, 0, &second_);
    }
    return static_cast<std::uint32_t>(status);
  }
  std::uint32_t Collect() override {
    return static_cast<std::uint32_t>(PdhCollectQueryData(query_.get()));
  }
  CounterValue First() override { return Format(first_); }
  CounterValue Second() override { return Format(second_); }
  void Close() override {
    query_.reset();
    first_ = nullptr;
    second_ = nullptr;
  }

 private:
  static CounterValue Format(PDH_HCOUNTER counter) {
    PDH_FMT_COUNTERVALUE value{};
    // Not capped at 100: the processor's performance percentage exceeds it under turbo.
    const PDH_STATUS status =
        PdhGetFormattedCounterValue(counter, PDH_FMT_DOUBLE | PDH_FMT_NOCAP100, nullptr, &value);
    return {static_cast<std::uint32_t>(status), static_cast<std::uint32_t>(value.CStatus),
            value.doubleValue};
  }

  const wchar_t* firstPath_;
  const wchar_t* secondPath_;
  UniqueQuery query_;
  PDH_HCOUNTER first_ = nullptr;
  PDH_HCOUNTER second_ = nullptr;
};

}  // namespace

std::unique_ptr<CounterPair> MakePdhCounterPair(const wchar_t* firstPath,
                                                const wchar_t* secondPath) {
  return std::make_unique<PdhCounterPair>(firstPath, secondPath);
}

}  // namespace lumetta
