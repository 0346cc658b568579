// End-to-end tests: lumetta.exe started and driven as a user or a second copy would.
#include <gtest/gtest.h>

#include <string_view>

#include "e2e/harness.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  constexpr std::string_view kExe = "--lumetta-exe=";
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]).starts_with(kExe)) {
      lumetta::e2e::gLumettaExe = lumetta::test::WindowsPath(argv[i] + kExe.size());
    }
  }
  return RUN_ALL_TESTS();
}
