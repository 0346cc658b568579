#include "app/version_win.h"

#include <windows.h>

#include <string>
#include <vector>

#include "app/log.h"
#include "base/program_path_win.h"
#include "base/wide.h"
#include "base/win_error.h"

namespace lumetta {
namespace {

std::optional<std::u16string> QueryString(const std::vector<std::byte>& data, const wchar_t* name) {
  std::wstring subBlock = L"\\StringFileInfo\\041104b0\\";
  subBlock.append(name);
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), subBlock.c_str(), &value, &length) || value == nullptr ||
      length == 0) {
    return std::nullopt;
  }
  const std::u16string_view text(static_cast<const char16_t*>(value), length);
  return std::u16string(text.substr(0, text.find(u'\0')));
}

const VersionInfo& OwnVersion() {
  static const VersionInfo kInfo = [] {
    const std::optional<std::wstring> path = ProgramPath();
    if (!path) {
      LogEvent(kWarn, "app", "version_info_failed", CodeDetail(LastErrorCode()));
      return VersionInfo{};
    }
    return ReadVersionInfo(path->c_str());
  }();
  return kInfo;
}

}  // namespace

VersionInfo ReadVersionInfo(const wchar_t* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  std::vector<std::byte> data;
  bool read = false;
  if (size != 0) {
    data.resize(size);
    read = GetFileVersionInfoW(path, 0, size, data.data()) != FALSE;
  }
  if (!read) {
    LogEvent(kWarn, "app", "version_info_failed", CodeDetail(LastErrorCode()));
    return {};
  }
  return {QueryString(data, L"ProductVersion"), QueryString(data, L"BuildNumber")};
}

std::optional<std::u16string> ProductVersionText() {
  return ProductVersionFrom(OwnVersion());
}

std::u16string DisplayVersionText() {
  return DisplayVersionFrom(OwnVersion());
}

}  // namespace lumetta
