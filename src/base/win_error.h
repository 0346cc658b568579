// The calling thread's last error as a failure code. Some calls fail without setting one; a
// failure must never read as success, so a missing code becomes E_FAIL.
#pragma once

#include <windows.h>

#include <cstdint>

namespace lumetta {

[[nodiscard]] inline std::uint32_t LastErrorCode() {
  const DWORD error = GetLastError();
  return error != 0 ? static_cast<std::uint32_t>(error) : static_cast<std::uint32_t>(E_FAIL);
}

[[nodiscard]] inline HRESULT HResultFromLastError() {
  const DWORD error = GetLastError();
  return error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

}  // namespace lumetta
