// The busiest processes: the most CPU over the last interval and the most memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lumetta {

inline constexpr std::size_t kTopProcessCount = 3;
inline constexpr std::size_t kProcessNameCapacity = 24;

// A process's shortened name in a fixed buffer, so that a tick keeps it without allocating.
struct ProcessFigure {
  std::array<char16_t, kProcessNameCapacity> name{};
  std::size_t nameLength = 0;
  double value = 0;  // a share of the whole machine's CPU, or bytes of private working set

  [[nodiscard]] std::u16string_view Name() const { return {name.data(), nameLength}; }
};

struct ProcessTop {
  std::array<ProcessFigure, kTopProcessCount> cpu{};
  std::size_t cpuCount = 0;  // 0 until two samples were taken
  std::array<ProcessFigure, kTopProcessCount> memory{};
  std::size_t memoryCount = 0;
  bool valid = false;
};

}  // namespace lumetta
