// A fixed ring that keeps the last N pushed values, oldest first; no allocation per push.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace lumetta {

template <typename T, std::size_t N>
class Ring {
 public:
  static constexpr std::size_t kCapacity = N;

  void push(const T& value) {
    values_[(head_ + count_) % N] = value;
    if (count_ < N) {
      ++count_;
    } else {
      head_ = (head_ + 1) % N;
    }
  }
  // The i-th value, oldest first; i < count().
  [[nodiscard]] const T& at(std::size_t i) const { return values_[(head_ + i) % N]; }
  [[nodiscard]] std::size_t count() const { return count_; }
  [[nodiscard]] std::size_t head() const { return head_; }
  void clear() { head_ = count_ = 0; }

 private:
  std::array<T, N> values_{};
  std::size_t head_ = 0;
  std::size_t count_ = 0;
};

// The last 60 valid values of a quantity, behind the card's charts.
using HistoryRing = Ring<double, 60>;

}  // namespace lumetta
