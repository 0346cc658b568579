// Placeholder formatting over arbitrary UTF-16 text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/strings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text(size / 2, u'\0');
  for (std::size_t i = 0; i < text.size(); ++i) {
    text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  // A placeholder is at least three characters and no argument is longer, and a doubled
  // brace shrinks, so the result can never outgrow the text. Arguments are not rescanned.
  const std::u16string_view arguments[] = {u"{0}", u"ab", u""};
  const std::u16string result = lumetta::FormatPlaceholders(text, arguments);
  if (result.size() > text.size()) {
    std::abort();
  }
  // Without arguments only doubled braces change anything.
  const std::u16string plain = lumetta::FormatPlaceholders(text, {});
  if (plain.size() > text.size()) {
    std::abort();
  }
  return 0;
}
