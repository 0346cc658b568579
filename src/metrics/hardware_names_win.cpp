#include <windows.h>

#include <array>

#include "app/log.h"
#include "base/wide.h"
#include "metrics/hardware_names.h"

namespace lumetta {

std::u16string ReadProcessorName() {
  std::array<wchar_t, 128> buffer{};
  DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
  const LSTATUS status =
      RegGetValueW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                   L"ProcessorNameString", RRF_RT_REG_SZ, nullptr, buffer.data(), &size);
  if (status != ERROR_SUCCESS) {
    LogEvent(kWarn, "cpu", "name_unavailable", CodeDetail(static_cast<std::uint32_t>(status)));
    return {};
  }
  buffer.back() = L'\0';
  return std::u16string(AsU16(buffer.data()));
}

}  // namespace lumetta
