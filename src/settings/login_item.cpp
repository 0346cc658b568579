#include "settings/login_item.h"

namespace lumetta {
namespace {

char16_t AsciiLower(char16_t c) {
  return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

}  // namespace

LoginItemState LoginStateFrom(bool hasRunEntry,
                              std::optional<std::span<const std::uint8_t>> approved) {
  if (!hasRunEntry) {
    return LoginItemState::Off;
  }
  if (!approved || approved->empty()) {
    return LoginItemState::On;
  }
  return ((*approved)[0] & 1) != 0 ? LoginItemState::DisabledInWindows : LoginItemState::On;
}

bool IsDisabledInWindows(LoginItemState state) {
  return state == LoginItemState::DisabledInWindows;
}

bool LoginEntryMatches(std::u16string_view entry, std::u16string_view programPath) {
  std::u16string_view program = entry;
  if (!entry.empty() && entry.front() == u'"') {
    program = entry.substr(1);
    program = program.substr(0, program.find(u'"'));
  }
  if (program.empty() || program.size() != programPath.size()) {
    return false;
  }
  for (std::size_t i = 0; i < program.size(); ++i) {
    if (AsciiLower(program[i]) != AsciiLower(programPath[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace lumetta
