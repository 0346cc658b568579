// printf-style formatting into a string that grows to fit, so that no value, however large,
// can write or read past a fixed buffer.
#pragma once

#include <string>
#include <string_view>

namespace lumetta {

[[nodiscard]] std::string StringPrintf(const char* format, ...)
    __attribute__((format(printf, 1, 2)));

// The same, appended to `out` as UTF-16 (the format must make ASCII): short texts go through a
// buffer on the stack, so a string with room allocates nothing.
void AppendPrintf(std::u16string& out, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// ASCII text as UTF-16, one code unit per byte.
[[nodiscard]] std::u16string AsciiToU16(std::string_view text);

}  // namespace lumetta
