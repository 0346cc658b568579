// UTF-16 text is char16_t in portable code; Win32 wants wchar_t. On Windows both are
// 16-bit, so these views convert at the call without copying (hence -fno-strict-aliasing).
#pragma once

#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows-only header");

namespace lumetta {

inline const wchar_t* AsWide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}
inline wchar_t* AsWide(char16_t* text) {
  return reinterpret_cast<wchar_t*>(text);
}
inline std::wstring_view AsWide(std::u16string_view text) {
  return {AsWide(text.data()), text.size()};
}
inline const char16_t* AsU16(const wchar_t* text) {
  return reinterpret_cast<const char16_t*>(text);
}
inline std::u16string_view AsU16(std::wstring_view text) {
  return {AsU16(text.data()), text.size()};
}

}  // namespace lumetta
