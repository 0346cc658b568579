#include "base/printf.h"

#include <cstdarg>
#include <cstdio>

namespace lumetta {

std::string StringPrintf(const char* format, ...) {
  char small[64];
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(small, sizeof small, format, arguments);
  va_end(arguments);
  std::string text;
  if (length < 0) {
    va_end(again);
    return text;
  }
  if (static_cast<std::size_t>(length) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(length));
  } else {
    text.resize(static_cast<std::size_t>(length));
    // C++17 allows writing the terminator at data()[size()].
    std::vsnprintf(text.data(), text.size() + 1, format, again);
  }
  va_end(again);
  return text;
}

void AppendPrintf(std::u16string& out, const char* format, ...) {
  char small[64];
  std::va_list arguments;
  va_start(arguments, format);
  std::va_list again;
  va_copy(again, arguments);
  const int length = std::vsnprintf(small, sizeof small, format, arguments);
  va_end(arguments);
  // Widened a unit at a time: appending a range of another character type would build a
  // temporary string first.
  const auto widen = [&out](std::string_view text) {
    for (const char c : text) {
      out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
  };
  if (length >= 0 && static_cast<std::size_t>(length) < sizeof small) {
    widen({small, static_cast<std::size_t>(length)});
  } else if (length >= 0) {
    std::string text(static_cast<std::size_t>(length), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    widen(text);
  }
  va_end(again);
}

std::u16string AsciiToU16(std::string_view text) {
  return std::u16string(text.begin(), text.end());
}

}  // namespace lumetta
