#include <windows.h>

#include <array>

#include "app/log.h"
#include "app/strings.h"
#include "base/wide.h"
#include "base/win_error.h"

namespace lumetta {
namespace {

bool gJapanese = false;

std::uint16_t ChosenLanguageId() {
  return gJapanese ? kLangJapanese : kLangEnglishUs;
}

// Finds the text in the chosen language's string block explicitly. LoadStringW would follow
// the thread's UI language, which Wine ignores; looking the block up by language is right
// on Windows as well and does not depend on the calling thread.
std::u16string_view FindText(std::uint32_t id, std::uint16_t language) {
  constexpr std::uint32_t kStringsPerBlock = 16;
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info =
      FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / kStringsPerBlock + 1), language);
  if (info == nullptr) {
    return {};
  }
  HGLOBAL loaded = LoadResource(module, info);
  const auto* block = static_cast<const char16_t*>(loaded ? LockResource(loaded) : nullptr);
  const DWORD bytes = SizeofResource(module, info);
  if (block == nullptr) {
    return {};
  }
  // The block is 16 counted strings: a length, then that many characters, no terminator.
  const std::u16string_view all(block, bytes / sizeof(char16_t));
  std::size_t at = 0;
  for (std::uint32_t index = 0; at < all.size(); ++index) {
    const std::size_t length = all[at++];
    if (length > all.size() - at) {
      return {};
    }
    if (index == id % kStringsPerBlock) {
      return all.substr(at, length);
    }
    at += length;
  }
  return {};
}

class LoadedTexts final : public TextSource {
 public:
  std::u16string Text(std::uint32_t id) const override { return LoadText(id); }
};

}  // namespace

const TextSource& ProgramTexts() {
  static const LoadedTexts kTexts;
  return kTexts;
}

void ChooseLanguage() {
  std::array<wchar_t, kLangVariableBuffer> buffer{};
  const DWORD result =
      GetEnvironmentVariableW(L"LUMETTA_LANG", buffer.data(), static_cast<DWORD>(buffer.size()));
  gJapanese = ChooseJapanese(result, AsU16(std::wstring_view(buffer.data(), buffer.size())),
                             GetUserDefaultUILanguage());
  const LANGID wanted = ChosenLanguageId();
  if (SetThreadUILanguage(wanted) != wanted) {
    LogEvent(kWarn, "strings", "ui_language_failed", CodeDetail(LastErrorCode()));
  }
  LogEvent(kInfo, "strings", "language", gJapanese ? "lang=ja" : "lang=en");
}

bool IsJapanese() {
  return gJapanese;
}

std::u16string_view LocaleName() {
  return gJapanese ? u"ja-JP" : u"en-US";
}

std::u16string LoadText(std::uint32_t id) {
  const std::u16string_view text = FindText(id, ChosenLanguageId());
  if (text.empty()) {
    LogEvent(kError, "strings", "missing", "id=" + std::to_string(id));
    return u"?";
  }
  return std::u16string(text);
}

std::u16string FormatText(std::uint32_t id, std::initializer_list<std::u16string_view> arguments) {
  return FormatPlaceholders(LoadText(id), std::span(arguments.begin(), arguments.size()));
}

}  // namespace lumetta
