#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace lumetta {

using ModuleFileNameFunction = DWORD(WINAPI*)(HMODULE, LPWSTR, DWORD);

// The running program's full path, however long (GetModuleFileNameW truncates silently to the
// buffer it is given); nothing when the system cannot tell.
[[nodiscard]] std::optional<std::wstring> ProgramPath(
    ModuleFileNameFunction moduleFileName = &GetModuleFileNameW);

}  // namespace lumetta
