#include <windows.h>

#include <shellapi.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/log.h"
#include "base/program_path_win.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "settings/login_item.h"
#include "text/utf.h"

namespace lumetta {
namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kValueName[] = L"Lumetta";

std::optional<std::wstring> ReadRunEntry() {
  DWORD bytes = 0;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, nullptr,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  // An odd byte count still needs room for its last half character and the terminator.
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, kValueName, RRF_RT_REG_SZ, nullptr, text.data(),
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

LSTATUS WriteRunEntry(const std::wstring& programPath) {
  const std::wstring quoted = L"\"" + programPath + L"\"";
  return RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kValueName, REG_SZ, quoted.c_str(),
                         static_cast<DWORD>((quoted.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

LoginItemState GetLoginItemState() {
  const bool hasEntry = ReadRunEntry().has_value();
  std::array<std::uint8_t, 16> bytes{};
  DWORD size = static_cast<DWORD>(bytes.size());
  const bool read =
      hasEntry && RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, kValueName, RRF_RT_REG_BINARY,
                               nullptr, bytes.data(), &size) == ERROR_SUCCESS;
  std::optional<std::span<const std::uint8_t>> approved;
  if (read) {
    approved = std::span<const std::uint8_t>(bytes.data(), size);
  }
  return LoginStateFrom(hasEntry, approved);
}

LoginItemState SetLoginItem(bool enable) {
  LSTATUS status = ERROR_SUCCESS;
  if (enable) {
    const std::optional<std::wstring> path = ProgramPath();
    status = path ? WriteRunEntry(*path) : static_cast<LSTATUS>(LastErrorCode());
  } else {
    status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kValueName);
    if (status == ERROR_FILE_NOT_FOUND) {
      status = ERROR_SUCCESS;  // there was nothing to remove
    }
  }
  if (status != ERROR_SUCCESS) {
    LogEvent(kError, "login_item", enable ? "register_failed" : "unregister_failed",
             CodeDetail(static_cast<std::uint32_t>(status)));
  } else {
    LogEvent(kInfo, "login_item", enable ? "registered" : "unregistered");
  }
  return GetLoginItemState();
}

void OpenStartupAppsSettings() {
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", L"ms-settings:startupapps", nullptr, nullptr, SW_SHOWNORMAL));
  if (result <= 32) {
    LogEvent(kWarn, "login_item", "open_settings_failed", "code=" + std::to_string(result));
  }
}

void RepairLoginItem() {
  const std::optional<std::wstring> entry = ReadRunEntry();
  const std::optional<std::wstring> path = ProgramPath();
  if (!entry || !path || LoginEntryMatches(AsU16(*entry), AsU16(*path))) {
    return;
  }
  if (const LSTATUS status = WriteRunEntry(*path); status == ERROR_SUCCESS) {
    LogEvent(kInfo, "login_item", "repaired", "path=" + ToUtf8(AsU16(*path)));
  } else {
    LogEvent(kError, "login_item", "repair_failed", CodeDetail(static_cast<std::uint32_t>(status)));
  }
}

}  // namespace lumetta
