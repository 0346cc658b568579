// The program's own version, read from its version resource.
#pragma once

#include <optional>
#include <string>

namespace lumetta {

struct VersionInfo {
  std::optional<std::u16string> productVersion;
  std::optional<std::u16string> buildNumber;
};

// Nothing without a product version: an unknown version is neither old nor new.
[[nodiscard]] std::optional<std::u16string> ProductVersionFrom(const VersionInfo& info);
// "0.9.0 (2)", the product version alone without a build number, "?" without either.
[[nodiscard]] std::u16string DisplayVersionFrom(const VersionInfo& info);

// Windows build: the running module's version, read once.
[[nodiscard]] std::optional<std::u16string> ProductVersionText();
[[nodiscard]] std::u16string DisplayVersionText();

}  // namespace lumetta
