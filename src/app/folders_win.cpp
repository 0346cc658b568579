#include "app/folders_win.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>
#include <system_error>

namespace lumetta {
namespace {

// Creates the folder and its missing parents, then confirms it is a directory.
std::optional<std::wstring> Ensure(std::wstring path) {
  std::error_code error;
  std::filesystem::create_directories(path, error);
  if (error || !std::filesystem::is_directory(path, error) || error) {
    return std::nullopt;
  }
  return path;
}

}  // namespace

std::optional<std::wstring> AppDataFolder() {
  PWSTR known = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known);
  std::wstring path;
  if (SUCCEEDED(result) && known != nullptr) {
    path = known;
  }
  CoTaskMemFree(known);  // freed also on failure
  if (path.empty()) {
    return std::nullopt;
  }
  return Ensure(path + L"\\Lumetta");
}

std::optional<std::wstring> LogsFolder() {
  const std::optional<std::wstring> appData = AppDataFolder();
  if (!appData) {
    return std::nullopt;
  }
  return Ensure(*appData + L"\\Logs");
}

}  // namespace lumetta
