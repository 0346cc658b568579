// A high-contrast system for tests: Wine cannot switch one on (SPI_SETHIGHCONTRAST fails there),
// so its answer and its colours are scripted, like "High Contrast Black".
#pragma once

#include "draw/theme_win.h"

namespace lumetta::test {

class ScriptedColorScheme final : public SystemColorScheme {
 public:
  bool on = true;
  SystemColorSet colors{0x000000, 0xFFFFFF, 0xFFFF1A, 0x000000, 0x00FFFF, 0x00FF3F};

  bool HighContrast() override { return on; }
  SystemColorSet Colors() override { return colors; }
};

// Every window made or re-themed while it lives sees the scripted scheme.
class ScopedColorScheme {
 public:
  explicit ScopedColorScheme(SystemColorScheme& scheme) { UseColorSchemeForTests(&scheme); }
  ~ScopedColorScheme() { UseColorSchemeForTests(nullptr); }
  ScopedColorScheme(const ScopedColorScheme&) = delete;
  ScopedColorScheme& operator=(const ScopedColorScheme&) = delete;
};

}  // namespace lumetta::test
