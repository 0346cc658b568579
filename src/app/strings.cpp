#include "app/strings.h"

#include <cstddef>

namespace lumetta {
namespace {

constexpr std::size_t kMaxPlaceholderDigits = 4;

char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}
bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

bool ChooseJapanese(std::uint32_t variableResult, std::u16string_view value,
                    std::uint16_t userUiLanguage) {
  if (variableResult >= 1 && variableResult < kLangVariableBuffer &&
      variableResult <= value.size()) {
    const std::u16string_view set = value.substr(0, variableResult);
    return set.size() == 2 && AsciiLower(set[0]) == u'j' && AsciiLower(set[1]) == u'a';
  }
  constexpr std::uint16_t kPrimaryMask = 0x3FF;
  return (userUiLanguage & kPrimaryMask) == (kLangJapanese & kPrimaryMask);
}

std::u16string FormatPlaceholders(std::u16string_view text,
                                  std::span<const std::u16string_view> arguments) {
  std::u16string result;
  result.reserve(text.size());
  AppendPlaceholders(result, text, arguments);
  return result;
}

void AppendPlaceholders(std::u16string& result, std::u16string_view text,
                        std::span<const std::u16string_view> arguments) {
  std::size_t i = 0;
  while (i < text.size()) {
    const char16_t c = text[i];
    if ((c == u'{' || c == u'}') && i + 1 < text.size() && text[i + 1] == c) {
      result.push_back(c);
      i += 2;
      continue;
    }
    if (c == u'{') {
      const std::size_t close = text.find(u'}', i + 1);
      const std::size_t digits = close == std::u16string_view::npos ? 0 : close - i - 1;
      if (digits >= 1 && digits <= kMaxPlaceholderDigits) {
        std::size_t index = 0;
        bool numeric = true;
        for (std::size_t k = i + 1; k < close; ++k) {
          numeric = numeric && IsDigit(text[k]);
          index = index * 10 + static_cast<std::size_t>(text[k] - u'0');
        }
        if (numeric && index < arguments.size()) {
          result.append(arguments[index]);
          i = close + 1;
          continue;
        }
      }
    }
    result.push_back(c);
    ++i;
  }
}

}  // namespace lumetta
