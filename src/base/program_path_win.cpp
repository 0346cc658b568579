#include "base/program_path_win.h"

namespace lumetta {

std::optional<std::wstring> ProgramPath(ModuleFileNameFunction moduleFileName) {
  // Long paths reach 32767 characters; beyond that the system fails anyway.
  constexpr std::size_t kLongest = 32768;
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = moduleFileName(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return std::nullopt;
    }
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    if (path.size() >= kLongest) {
      return std::nullopt;
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace lumetta
