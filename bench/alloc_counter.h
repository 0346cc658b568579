// Counts heap allocations through a replaced global operator new, for the benchmarks.
#pragma once

#include <cstdint>

namespace lumetta::bench {

std::uint64_t AllocationCount();

}  // namespace lumetta::bench
