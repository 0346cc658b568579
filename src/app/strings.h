// Localized texts: the language choice, text lookup and "{0}"/"{1}" placeholders.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace lumetta {

inline constexpr std::uint16_t kLangEnglishUs = 0x0409;
inline constexpr std::uint16_t kLangJapanese = 0x0411;
// GetEnvironmentVariableW is asked with a buffer of this many characters.
inline constexpr std::uint32_t kLangVariableBuffer = 8;

// The language rule: `variableResult` is what GetEnvironmentVariableW returned for
// "LUMETTA_LANG" (0 when missing or empty, the required size when the value does not fit),
// `value` the characters it stored, `userUiLanguage` GetUserDefaultUILanguage.
[[nodiscard]] bool ChooseJapanese(std::uint32_t variableResult, std::u16string_view value,
                                  std::uint16_t userUiLanguage);

// Replaces "{N}" (1 to 4 digits, N < arguments) by argument N; "{{" and "}}" become one brace.
[[nodiscard]] std::u16string FormatPlaceholders(std::u16string_view text,
                                                std::span<const std::u16string_view> arguments);
// The same, appended to `out`.
void AppendPlaceholders(std::u16string& out, std::u16string_view text,
                        std::span<const std::u16string_view> arguments);

// Where portable code takes its texts from: the program's string tables, or in tests the
// resource files themselves.
class TextSource {
 public:
  virtual ~TextSource() = default;
  [[nodiscard]] virtual std::u16string Text(std::uint32_t id) const = 0;
  [[nodiscard]] std::u16string Format(std::uint32_t id,
                                      std::initializer_list<std::u16string_view> arguments) const {
    return FormatPlaceholders(Text(id), std::span(arguments.begin(), arguments.size()));
  }
};

// Windows build: decides the language once at start-up and logs it.
void ChooseLanguage();
[[nodiscard]] bool IsJapanese();
// "ja-JP" or "en-US".
[[nodiscard]] std::u16string_view LocaleName();
// The text of `id` in the chosen language; "?" (and one ERROR line) when it is missing.
[[nodiscard]] std::u16string LoadText(std::uint32_t id);
[[nodiscard]] std::u16string FormatText(std::uint32_t id,
                                        std::initializer_list<std::u16string_view> arguments);
// LoadText as a TextSource.
[[nodiscard]] const TextSource& ProgramTexts();

}  // namespace lumetta
