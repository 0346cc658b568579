#include <windows.h>

#include "base/owner_win.h"
#include "base/wide.h"
#include "base/win_error.h"
#include "settings/settings_file.h"

namespace lumetta {
namespace {

class Win32FileSystem final : public SettingsFileSystem {
 public:
  FileRead ReadFileText(const std::u16string& path) override {
    UniqueHandle file(CreateFileW(AsWide(path.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
      return {std::nullopt, LastErrorCode()};
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
      return {std::nullopt, LastErrorCode()};
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > kSettingsFileMaxBytes) {
      return {std::nullopt, kErrorFileTooLarge};
    }
    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr) ||
        read != content.size()) {
      return {std::nullopt, LastErrorCode()};
    }
    return {std::move(content), 0};
  }

  std::uint32_t WriteNewFile(const std::u16string& path, std::string_view text) override {
    UniqueHandle file(CreateFileW(AsWide(path.c_str()), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file) {
      return LastErrorCode();
    }
    DWORD written = 0;
    if (!WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size()) {
      return LastErrorCode();
    }
    if (!FlushFileBuffers(file.get())) {
      return LastErrorCode();
    }
    return 0;
  }

  std::uint32_t MoveReplacing(const std::u16string& from, const std::u16string& to,
                              bool writeThrough) override {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | (writeThrough ? MOVEFILE_WRITE_THROUGH : 0);
    return MoveFileExW(AsWide(from.c_str()), AsWide(to.c_str()), flags) ? 0 : LastErrorCode();
  }

  void RemoveFile(const std::u16string& path) override { DeleteFileW(AsWide(path.c_str())); }
  bool Exists(const std::u16string& path) override {
    return GetFileAttributesW(AsWide(path.c_str())) != INVALID_FILE_ATTRIBUTES ||
           (GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND);
  }
  void Pause(std::uint32_t milliseconds) override { Sleep(milliseconds); }
};

}  // namespace

SettingsFileSystem& Win32Files() {
  static Win32FileSystem files;
  return files;
}

}  // namespace lumetta
