// printf-style formatting into a string that grows to fit, so that no value, however large,
// can write or read past a fixed buffer.
#pragma once

#include <string>
#include <string_view>

namespace lumetta {

[[nodiscard]] std::string StringPrintf(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

// ASCII text as UTF-16, one code unit per byte.
[[nodiscard]] std::u16string AsciiToU16(std::string_view text);

}  // namespace lumetta
