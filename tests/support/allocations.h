// This thread's heap allocations, counted through the address sanitizer's hook.
#pragma once

#include <cstddef>
#include <optional>

#ifdef __SANITIZE_ADDRESS__
// Its header in GCC 12 does not declare it.
// NOLINTNEXTLINE(bugprone-reserved-identifier,readability-identifier-naming)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*));
#endif

namespace lumetta::test {

inline thread_local long gAllocations = 0;

// The allocations made so far, or nothing in a build without the sanitizer.
inline std::optional<long> AllocationsSoFar() {
#ifdef __SANITIZE_ADDRESS__
  static const int kHooked = __sanitizer_install_malloc_and_free_hooks(
      [](const volatile void*, size_t) { ++gAllocations; }, [](const volatile void*) {});
  if (kHooked != 0) {
    return gAllocations;
  }
#endif
  return std::nullopt;
}

}  // namespace lumetta::test
