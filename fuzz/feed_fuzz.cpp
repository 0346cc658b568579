// The version feed on arbitrary bytes, and version comparison on whatever it yields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "update/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::optional<lumetta::UpdateInfo> feed = lumetta::ParseFeed(text);
  if (!feed) {
    return 0;
  }
  if (feed->latestVersion.empty() || !feed->url.starts_with(u"https://")) {
    std::abort();
  }
  // Nothing the shell could take for a second argument or a control sequence.
  for (const char16_t c : feed->url) {
    if (c <= 32 || c == u'"' || c == 127) {
      std::abort();
    }
  }
  // A version is never older than itself, and the order is never both ways.
  const std::u16string& a = feed->latestVersion;
  const std::u16string& b = feed->minimumVersion;
  if (lumetta::IsOlderVersion(a, a) ||
      (lumetta::IsOlderVersion(a, b) && lumetta::IsOlderVersion(b, a))) {
    std::abort();
  }
  return 0;
}
