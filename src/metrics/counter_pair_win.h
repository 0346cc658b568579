// Two PDH counters in one query, named by their English paths.
#pragma once

#include <memory>

#include "metrics/counter_pair.h"

namespace lumetta {

// The paths must outlive the pair.
std::unique_ptr<CounterPair> MakePdhCounterPair(const wchar_t* firstPath,
                                                const wchar_t* secondPath);

}  // namespace lumetta
