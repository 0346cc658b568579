// UTF-8 and UTF-16 conversion: UTF-16 for everything shown, paths and the registry; UTF-8 for
// log lines and JSON.
#pragma once

#include <string>
#include <string_view>

namespace lumetta {

inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// Unpaired surrogates and ill-formed UTF-8 become U+FFFD.
[[nodiscard]] std::string ToUtf8(std::u16string_view text);
[[nodiscard]] std::u16string FromUtf8(std::string_view text);
// Appends one code point (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace lumetta
