// UTF-8 decoding on arbitrary bytes, and UTF-16 encoding of whatever it produced.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string text = lumetta::FromUtf8(bytes);
  if (text.size() > bytes.size()) {
    std::abort();
  }
  // Decoding always yields well-formed UTF-16, so encoding and decoding again is exact.
  const std::string encoded = lumetta::ToUtf8(text);
  if (lumetta::FromUtf8(encoded) != text) {
    std::abort();
  }
  // Well-formed input round-trips byte for byte.
  if (text.find(u'\uFFFD') == std::u16string::npos && encoded != bytes) {
    std::abort();
  }
  return 0;
}
