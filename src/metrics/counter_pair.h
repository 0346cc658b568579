// A performance-counter query over two counters, and the reader that opens, primes and reads it
// for a collector.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "app/log.h"

namespace lumetta {

struct CounterValue {
  std::uint32_t status = 0;         // of the formatting call
  std::uint32_t counterStatus = 0;  // the value's own status; 0 is valid data
  double value = 0;
};

class CounterPair {
 public:
  virtual ~CounterPair() = default;
  // Opens the query and adds both counters; the first non-zero status, or 0.
  virtual std::uint32_t Open() = 0;
  virtual std::uint32_t Collect() = 0;
  virtual CounterValue First() = 0;
  virtual CounterValue Second() = 0;
  virtual void Close() = 0;
};

// A query that failed before its first collection (a counter this system lacks) is not opened
// again until this many reads have passed: a missing counter does not appear later.
inline constexpr int kCounterReopenInterval = 60;

struct CounterReading {
  double first = 0;
  double second = 0;
};

class CounterPairReader {
 public:
  // `component` names the log events; it must outlive the reader.
  CounterPairReader(CounterPair& counters, std::string_view component)
      : counters_(counters), component_(component) {}
  ~CounterPairReader() { Close(); }
  CounterPairReader(const CounterPairReader&) = delete;
  CounterPairReader& operator=(const CounterPairReader&) = delete;

  // Both values, once the query is open and its rates are primed.
  std::optional<CounterReading> Read();
  // Closes the query; the next read opens it at once.
  void Close();

 private:
  void Fail(std::string_view event, std::uint32_t status);

  CounterPair& counters_;
  std::string_view component_;
  bool open_ = false;
  bool primed_ = false;
  bool collected_ = false;  // since the last open
  int readsUntilReopen_ = 0;
  FailureLatch latch_;  // one latch for every failure of the query
};

}  // namespace lumetta
