#include "metrics/counter_pair_win.h"
#include "metrics/sources_win.h"

namespace lumetta {

std::unique_ptr<FrequencyCounters> MakeWin32FrequencyCounters() {
  return MakePdhCounterPair(L"\\Processor Information(_Total)\\Processor Frequency",
                            L"\\Processor Information(_Total)\\% Processor Performance");
}

}  // namespace lumetta
