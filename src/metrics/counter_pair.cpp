#include "metrics/counter_pair.h"

namespace lumetta {

void CounterPairReader::Close() {
  if (open_) {
    counters_.Close();
  }
  open_ = false;
  primed_ = false;
  readsUntilReopen_ = 0;
}

void CounterPairReader::Fail(std::string_view event, std::uint32_t status) {
  ReportFailure(latch_, component_, event, status);
  const bool everCollected = collected_;
  Close();
  if (!everCollected) {
    readsUntilReopen_ = kCounterReopenInterval;
  }
}

std::optional<CounterReading> CounterPairReader::Read() {
  if (!open_) {
    if (readsUntilReopen_ > 0 && --readsUntilReopen_ > 0) {
      return std::nullopt;
    }
    open_ = true;  // a failed open may have opened the query before a counter failed
    collected_ = false;
    if (const std::uint32_t status = counters_.Open(); status != 0) {
      Fail("open_failed", status);
      return std::nullopt;
    }
  }
  if (const std::uint32_t status = counters_.Collect(); status != 0) {
    Fail("collect_failed", status);
    return std::nullopt;
  }
  collected_ = true;
  if (!primed_) {
    // Rate counters need two collections: the first only starts them.
    primed_ = true;
    return std::nullopt;
  }
  const CounterValue first = counters_.First();
  const CounterValue second = counters_.Second();
  std::uint32_t code = first.status != 0 ? first.status : second.status;
  if (code == 0) {
    code = first.counterStatus != 0 ? first.counterStatus : second.counterStatus;
  }
  if (code != 0) {
    ReportFailure(latch_, component_, "format_failed", code);
    return std::nullopt;
  }
  if (TakeRecovered(latch_)) {
    LogEvent(kInfo, component_, "recovered");
  }
  return CounterReading{first.value, second.value};
}

}  // namespace lumetta
