// A list of at most N items kept in place: clearing it keeps every slot, so that strings in
// its items keep their storage and refilling it each tick allocates nothing.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>

namespace lumetta {

template <typename T, std::size_t N>
class FixedList {
 public:
  // The next slot as it was last left (its strings keep their storage); the last slot again
  // once the list is full.
  T& Add() {
    size_ = std::min(size_ + 1, N);
    return items_[size_ - 1];
  }
  void push_back(const T& item) { Add() = item; }
  void clear() { size_ = 0; }
  [[nodiscard]] std::size_t size() const { return size_; }
  [[nodiscard]] bool empty() const { return size_ == 0; }
  [[nodiscard]] const T* begin() const { return items_.data(); }
  [[nodiscard]] const T* end() const { return items_.data() + size_; }
  // Within the slots, never past them: a slot past size() reads as it was last left.
  [[nodiscard]] const T& operator[](std::size_t i) const { return items_[std::min(i, N - 1)]; }

 private:
  std::array<T, N> items_{};
  std::size_t size_ = 0;
};

}  // namespace lumetta
