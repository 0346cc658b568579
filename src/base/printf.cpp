#include "base/printf.h"

#include <cstdarg>
#include <cstdio>

namespace lumetta {
namespace {

// Formats through a buffer on the stack, or a string for a longer text, and hands the text to
// `take`; nothing for a format error.
template <typename Take>
void FormatInto(const char* format, std::va_list arguments, Take&& take) {
  char small[64];
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(small, sizeof small, format, arguments);
  if (length >= 0 && static_cast<std::size_t>(length) < sizeof small) {
    take(std::string_view(small, static_cast<std::size_t>(length)));
  } else if (length >= 0) {
    std::string text(static_cast<std::size_t>(length), '\0');
    // C++17 allows writing the terminator at data()[size()].
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    take(std::string_view(text));
  }
  va_end(again);
}

}  // namespace

std::string StringPrintf(const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  std::string text;
  FormatInto(format, arguments, [&text](std::string_view formatted) { text = formatted; });
  va_end(arguments);
  return text;
}

void AppendPrintf(std::u16string& out, const char* format, ...) {
  std::va_list arguments;
  va_start(arguments, format);
  // Widened a unit at a time: appending a range of another character type would build a
  // temporary string first.
  FormatInto(format, arguments, [&out](std::string_view formatted) {
    for (const char c : formatted) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
  });
  va_end(arguments);
}

std::u16string AsciiToU16(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace lumetta
